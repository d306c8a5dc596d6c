// The file system on disk for Linux builds (command line and tests). Windows-form paths are mapped by
// turning every "\" into "/".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      content.status = errno == ENOENT || errno == ENOTDIR ? FileReadStatus::Missing : FileReadStatus::Unreadable;
      return content;
    }
    content.status = ReadAll(fd, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    ::close(fd);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

 private:
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
