#pragma once
// The file system as the program's logic sees it. Paths are texts in Windows form; implementations map
// them to their own system.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "text/text.h"

namespace korvane {

// NotRegularFile: a pipe, a device or anything else that is neither a file nor a folder; it is not read.
enum class FileReadStatus { Ok, Missing, Unreadable, NotRegularFile };

struct FileContent {
  FileReadStatus status = FileReadStatus::Missing;
  std::vector<std::uint8_t> bytes;  // the whole file when status is Ok (possibly empty)
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Reads a whole file into memory. A folder, or a file that cannot be opened, is Unreadable.
  virtual FileContent ReadWholeFile(const Text& path) = 0;

  // Replaces the file at `path` whole: the bytes go to a temporary file in the same folder, which is
  // then renamed over the old file. A failure at any point leaves the old file as it was and returns
  // false. A `path` that names a folder fails.
  virtual bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) = 0;

  virtual bool FileExists(const Text& path) = 0;    // a file, not a folder
  virtual bool FolderExists(const Text& path) = 0;
  // Creates one folder (its parent must exist); true when it exists afterwards.
  virtual bool CreateFolder(const Text& path) = 0;
  // The current working directory, ending in a backslash (Windows form).
  virtual Text WorkingDirectory() = 0;
};

// The file system on disk of the system the program runs on.
std::unique_ptr<FileSystem> MakeDiskFileSystem();

}  // namespace korvane
