// The file system on disk for Linux builds (command line and tests). Windows-form paths are mapped by
// turning every "\" into "/".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace korvane {
namespace {

std::string ToPosixPath(const Text& path) {
  std::string utf8 = TextToUtf8(path);
  for (char& c : utf8) {
    if (c == '\\') c = '/';
  }
  return utf8;
}

class PosixFileSystem final : public FileSystem {
 public:
  FileContent ReadWholeFile(const Text& path) override {
    FileContent content;
    const std::string name = ToPosixPath(path);
    // Opened without blocking and checked before any read: opening or reading a FIFO or a device
    // can wait for ever.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      content.status = errno == ENOENT || errno == ENOTDIR ? FileReadStatus::Missing : FileReadStatus::Unreadable;
      return content;
    }
    struct stat kind {};
    if (::fstat(fd, &kind) != 0 || !S_ISREG(kind.st_mode)) {
      content.status = S_ISDIR(kind.st_mode) ? FileReadStatus::Unreadable : FileReadStatus::NotRegularFile;
      ::close(fd);
      return content;
    }
    content.status = ReadAll(fd, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    ::close(fd);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

  bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) override {
    const std::string name = ToPosixPath(path);
    if (IsFolder(name)) return false;
    // A temporary file beside the target, renamed over it once complete: the old file stays whole
    // until the new one is.
    std::string temporary = name + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), name.c_str()) != 0) {
      ::unlink(temporary.c_str());
      return false;
    }
    ::chmod(name.c_str(), 0644);
    return true;
  }

  bool FileExists(const Text& path) override {
    struct stat info {};
    return ::stat(ToPosixPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
  }

  bool FolderExists(const Text& path) override { return IsFolder(ToPosixPath(path)); }

  bool CreateFolder(const Text& path) override {
    const std::string name = ToPosixPath(path);
    return ::mkdir(name.c_str(), 0755) == 0 || IsFolder(name);
  }

  Text WorkingDirectory() override {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return u"\\";
    Text folder = Utf8ToText(buffer);
    for (char16_t& c : folder) {
      if (c == u'/') c = u'\\';
    }
    if (folder.empty() || folder.back() != u'\\') folder += u'\\';
    return folder;
  }

 private:
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

  // Reads to the end of the file. The size from fstat only sizes the buffer: the loop reads until end
  // of file, so a file that changes while it is read is still read whole.
  static bool ReadAll(int fd, std::vector<std::uint8_t>& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
      if (used == bytes.size()) bytes.resize(bytes.size() * 2);
      const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return false;
      if (got == 0) break;
      used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return true;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeDiskFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace korvane
