#pragma once
// The file system as the program's logic sees it. Paths are texts in Windows form; implementations map
// them to their own system.

#include <cstdint>
#include <memory>
#include <vector>

#include "text/text.h"

namespace korvane {

enum class FileReadStatus { Ok, Missing, Unreadable };

struct FileContent {
  FileReadStatus status = FileReadStatus::Missing;
  std::vector<std::uint8_t> bytes;  // the whole file when status is Ok (possibly empty)
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Reads a whole file into memory. A folder, or a file that cannot be opened, is Unreadable.
  virtual FileContent ReadWholeFile(const Text& path) = 0;
};

// The file system on disk of the system the program runs on.
std::unique_ptr<FileSystem> MakeDiskFileSystem();

}  // namespace korvane
