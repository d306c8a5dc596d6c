#include "docs/set_builder/input_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace korvane {
namespace {

std::string Reason(int error) { return std::strerror(error); }

// Opens `path` for reading without waiting on a pipe, and keeps it open only when it is a regular file.
int OpenRegular(const std::filesystem::path& path, std::string& problem) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    problem = ShownPath(path) + ": cannot be read (" + Reason(errno) + ")";
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    problem = ShownPath(path) + ": not a regular file (a pipe, a device or a socket); not read";
    return -1;
  }
  return fd;
}

}  // namespace

std::string ShownPath(const std::filesystem::path& path) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (const char c : path.string()) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      shown += "\\n";
    } else if (byte < 0x20 || byte == 0x7F) {
      shown += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
    } else {
      shown += c;
    }
  }
  return shown;
}

InputFiles FindInputFiles(const std::filesystem::path& folder,
                          const std::function<bool(const std::filesystem::path&)>& wanted) {
  InputFiles found;
  // An explicit stack, so that a very deep tree cannot exhaust the call stack.
  std::vector<std::filesystem::path> pending{folder};
  while (!pending.empty()) {
    const std::filesystem::path current = std::move(pending.back());
    pending.pop_back();
    std::error_code error;
    std::vector<std::filesystem::directory_entry> entries;
    for (std::filesystem::directory_iterator it(current, error), end; !error && it != end; it.increment(error)) {
      entries.push_back(*it);
    }
    if (error) {
      found.problems.push_back(ShownPath(current) + ": cannot be listed (" + error.message() + ")");
      continue;
    }
    std::sort(entries.begin(), entries.end());
    std::vector<std::filesystem::path> subfolders;
    for (const auto& entry : entries) {
      std::error_code statusError;
      const auto own = entry.symlink_status(statusError);
      if (own.type() == std::filesystem::file_type::directory) {
        subfolders.push_back(entry.path());
        continue;
      }
      const auto target = entry.status(statusError);  // through a link
      if (target.type() == std::filesystem::file_type::directory || !wanted(entry.path())) continue;
      if (target.type() == std::filesystem::file_type::regular) {
        found.files.push_back(entry.path());
      } else if (target.type() == std::filesystem::file_type::not_found) {
        found.problems.push_back(ShownPath(entry.path()) + ": a link to nothing; not read");
      } else {
        found.problems.push_back(ShownPath(entry.path()) + ": not a regular file (a pipe, a device or a socket); not read");
      }
    }
    // Pushed in reverse, so that the first subfolder by name is taken next.
    pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
  }
  return found;
}

std::optional<std::string> ReadInputFile(const std::filesystem::path& path, std::string& problem) {
  const int fd = OpenRegular(path, problem);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      problem = ShownPath(path) + ": cannot be read (" + Reason(errno) + ")";
      ::close(fd);
      return std::nullopt;
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return content;
}

bool CanReadInputFile(const std::filesystem::path& path, std::string& problem) {
  const int fd = OpenRegular(path, problem);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace korvane
