// The file system on disk for Linux builds (command line and tests). Windows-form paths are mapped by
// turning every "\" into "/".
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <limits>
#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace korvane {
namespace {

std::string ToPosixPath(const Text& path) {
  std::string utf8 = TextToFileNameBytes(path);
  for (char& c : utf8) {
    if (c == '\\') c = '/';
  }
  return utf8;
}

class PosixFileLock final : public FileLock {
 public:
  explicit PosixFileLock(int fd) : fd_(fd) {}
  ~PosixFileLock() override { ::close(fd_); }  // closing releases the lock

 private:
  int fd_;
};

class PosixFileSystem final : public FileSystem {
 public:
  FileLockResult TryLockFile(const Text& path) override {
    const int fd = ::open(ToPosixPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return {};
    // flock belongs to the open file, so a second open in this very process is refused as well.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool busy = errno == EWOULDBLOCK;
      ::close(fd);
      return {nullptr, busy};
    }
    return {std::make_unique<PosixFileLock>(fd), false};
  }

  FileContent ReadWholeFile(const Text& path) override {
    FileContent content;
    const int fd = OpenRegularFile(ToPosixPath(path), content);
    if (fd < 0) return content;
    content.status = ReadAll(fd, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    ::close(fd);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

  bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) override {
    return ReplaceFile(ToPosixPath(path), [&](int fd) { return WriteAll(fd, bytes); });
  }

  bool CopyFileReplacing(const Text& from, const Text& to) override {
    const int source = ::open(ToPosixPath(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return false;
    struct stat info {};
    const bool regular = ::fstat(source, &info) == 0 && S_ISREG(info.st_mode);
    const bool copied = regular && ReplaceFile(ToPosixPath(to), [&](int fd) { return CopyAll(source, fd); });
    ::close(source);
    return copied;
  }

  bool RemoveFile(const Text& path) override {
    const std::string name = ToPosixPath(path);
    return !IsFolder(name) && ::unlink(name.c_str()) == 0;
  }

  std::optional<std::vector<FolderEntry>> ListFolder(const Text& folder, TextView pattern) override {
    std::string name = ToPosixPath(folder);
    DIR* directory = ::opendir(name.empty() ? "." : name.c_str());
    if (directory == nullptr) return std::nullopt;
    if (!name.empty() && name.back() != '/') name += '/';
    std::vector<FolderEntry> entries;
    while (const dirent* entry = ::readdir(directory)) {
      const std::string child = entry->d_name;
      if (child == "." || child == "..") continue;
      const Text childName = FileNameBytesToText(child);
      if (!NameMatchesPattern(childName, pattern)) continue;
      struct stat info {};
      if (::stat((name + child).c_str(), &info) != 0) continue;  // vanished, or a dangling link
      entries.push_back({childName, S_ISDIR(info.st_mode)});
    }
    ::closedir(directory);
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
  }

  FileContent ReadFileRange(const Text& path, std::uint64_t offset, std::size_t count) override {
    FileContent content;
    const int fd = OpenRegularFile(ToPosixPath(path), content);
    if (fd < 0) return content;
    content.status = ReadRange(fd, offset, count, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    ::close(fd);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

  std::optional<std::uint64_t> FileSize(const Text& path) override {
    struct stat info {};
    if (::stat(ToPosixPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
  }

  bool FileExists(const Text& path) override {
    struct stat info {};
    return ::stat(ToPosixPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
  }

  bool FolderExists(const Text& path) override { return IsFolder(ToPosixPath(path)); }

  bool IsReadOnlyFile(const Text& path) override {
    struct stat status {};
    return ::stat(ToPosixPath(path).c_str(), &status) == 0 && S_ISREG(status.st_mode) && (status.st_mode & 0222) == 0;
  }

  bool CreateFolder(const Text& path) override {
    const std::string name = ToPosixPath(path);
    return ::mkdir(name.c_str(), 0755) == 0 || IsFolder(name);
  }

  Text WorkingDirectory() override {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return u"\\";
    Text folder = FileNameBytesToText(buffer);
    for (char16_t& c : folder) {
      if (c == u'/') c = u'\\';
    }
    if (folder.empty() || folder.back() != u'\\') folder += u'\\';
    return folder;
  }

 private:
  // Fills a temporary file beside `name` through `fill` and renames it over `name`: the old file stays
  // whole until the new one is. A folder, or a file without any write permission, is not replaced (a
  // rename would replace even a read-only file here; Windows refuses, and so does this).
  template <typename Fill>
  static bool ReplaceFile(const std::string& path, Fill fill) {
    // A symbolic link is written through: its target gets the new bytes and the link stays a link.
    std::string name = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      char resolved[PATH_MAX];
      if (::realpath(path.c_str(), resolved) != nullptr) name = resolved;
    }
    struct stat target {};
    if (::stat(name.c_str(), &target) == 0 && (S_ISDIR(target.st_mode) || (target.st_mode & 0222) == 0)) return false;
    std::string temporary = name + TextToUtf8(kTemporaryFileMark) + "-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = fill(fd) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::chmod(temporary.c_str(), 0644) != 0 ||
        ::rename(temporary.c_str(), name.c_str()) != 0) {
      ::unlink(temporary.c_str());
      return false;
    }
    return true;
  }

  static bool CopyAll(int source, int target) {
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
      const ssize_t got = ::read(source, buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) return true;
      if (!WriteAll(target, std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(got)))) return false;
    }
  }

  // Opens a regular file for reading; otherwise sets the status and returns -1. Opened without
  // blocking and checked before any read: opening or reading a FIFO or a device can wait for ever.
  static int OpenRegularFile(const std::string& name, FileContent& content) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      content.status = errno == ENOENT || errno == ENOTDIR ? FileReadStatus::Missing : FileReadStatus::Unreadable;
      return -1;
    }
    struct stat kind {};
    if (::fstat(fd, &kind) != 0 || !S_ISREG(kind.st_mode)) {
      content.status = S_ISDIR(kind.st_mode) ? FileReadStatus::Unreadable : FileReadStatus::NotRegularFile;
      ::close(fd);
      return -1;
    }
    return fd;
  }

  // Appends up to `count` bytes read at `offset` (-1: from the current position, to the end of the
  // file). The bytes pass through a buffer on the stack, so the vector is never zero-filled first.
  static bool AppendRead(int fd, std::int64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) {
    std::uint8_t chunk[32 * 1024];
    while (count > 0) {
      const std::size_t want = std::min(count, sizeof chunk);
      const ssize_t got = offset < 0 ? ::read(fd, chunk, want) : ::pread(fd, chunk, want, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) break;  // end of file (it may have shrunk meanwhile)
      bytes.insert(bytes.end(), chunk, chunk + got);
      count -= static_cast<std::size_t>(got);
      if (offset >= 0) offset += got;
    }
    return true;
  }

  static bool ReadRange(int fd, std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return false;
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const std::uint64_t available = offset < size ? size - offset : 0;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
    // The size is known: read straight into the vector, no copy through a buffer.
    bytes.resize(wanted);
    std::size_t done = 0;
    while (done < wanted) {
      const ssize_t got = ::pread(fd, bytes.data() + done, wanted - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) break;  // end of file: it shrank meanwhile
      done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return true;
  }

  static bool IsFolder(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

  static bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) return false;
      done += static_cast<std::size_t>(wrote);
    }
    return true;
  }

  // Reads to the end of the file. The size from fstat only reserves room: the read goes on until end of
  // file, so a file that changes while it is read is still read whole.
  static bool ReadAll(int fd, std::vector<std::uint8_t>& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return false;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    return AppendRead(fd, -1, std::numeric_limits<std::size_t>::max(), bytes);
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeDiskFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace korvane
