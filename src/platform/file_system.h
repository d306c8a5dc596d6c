#pragma once
// The file system as the program's logic sees it. Paths are texts in Windows form; implementations map
// them to their own system.

#include <cstdint>
#include <memory>
#include <optional>
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

// One entry of a folder.
struct FolderEntry {
  Text name;              // without the folder
  bool isFolder = false;  // a folder, else a file
};

// Marks the temporary files that whole-file writes and copies create beside their target
// ('APIFunctionListing.txt.korvane-tmp...'). A process killed between writing and renaming leaves one
// behind; a later run may remove what carries this mark.
inline constexpr TextView kTemporaryFileMark = u".korvane-tmp";

// Whether `name` is one of those temporary files: the mark ends the name, or is followed by "-" and the
// six letters or digits a unique temporary name gets ('listing.txt.korvane-tmp-x1Y2z3'). Other names
// that merely hold the mark ('notes.korvane-tmp.txt') are someone else's.
bool IsTemporaryFileName(TextView name);

// A lock on a file, held while the object lives; the file itself stays in place afterwards.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

struct FileLockResult {
  std::unique_ptr<FileLock> lock;  // null when not locked
  bool busy = false;               // another holder has it (else the file could not be made)
};

// Whether a file name matches a pattern, letters compared without regard to case: "*" stands for any
// run of characters, "?" for one character, and a final "." stands for "no extension" (so "*." matches
// every name without a dot). An empty pattern matches every name.
bool NameMatchesPattern(TextView name, TextView pattern);

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

  // The entries of `folder` whose names match `pattern` (NameMatchesPattern; empty: all), sorted by
  // name, without "." and "..". Nothing when the folder cannot be listed (missing, a file, no access).
  // The default serves file systems that cannot list folders.
  virtual std::optional<std::vector<FolderEntry>> ListFolder(const Text& folder, TextView pattern);

  // Copies the file at `from` to `to`, replacing a file there: the copy goes to a temporary file in the
  // target's folder, which is then renamed over the target, so the target is never left cut short. A
  // read-only target is left alone. False when anything fails; the target is then as it was.
  virtual bool CopyFileReplacing(const Text& from, const Text& to);

  // Removes a file (not a folder). True when it existed and is gone.
  virtual bool RemoveFile(const Text& path);

  // Up to `count` bytes of a file from byte `offset` on; fewer at the end of the file, none past it.
  // Statuses as ReadWholeFile.
  virtual FileContent ReadFileRange(const Text& path, std::uint64_t offset, std::size_t count);

  // The size of a file in bytes; nothing for a folder or a file that is missing or cannot be opened.
  virtual std::optional<std::uint64_t> FileSize(const Text& path);

  // Opens the file at `path` (creating it empty when missing) and locks it against every other
  // holder, in this process or another, without waiting. The default serves file systems that no
  // other process shares: every lock is granted.
  virtual FileLockResult TryLockFile(const Text& path);

  // Whether `path` is a file marked read-only, which WriteWholeFile does not replace. The default
  // serves file systems without such a mark.
  virtual bool IsReadOnlyFile(const Text& path);
};

// Why WriteWholeFile(path) failed, as far as the file system tells afterwards: a folder in the way, a
// read-only file, a file that cannot be replaced, or a folder that takes no new file.
Text WriteFailureReason(FileSystem& files, const Text& path);

// The file system on disk of the system the program runs on.
std::unique_ptr<FileSystem> MakeDiskFileSystem();

}  // namespace korvane
