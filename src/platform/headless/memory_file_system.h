#pragma once
// An in-memory file system for tests: files are byte strings under their Windows-form path, folders a
// set of paths (compared without a trailing backslash).

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace korvane {

class MemoryFileSystem final : public FileSystem {
 public:
  void AddFile(const Text& path, std::vector<std::uint8_t> bytes);
  void AddFile(const Text& path, std::string_view bytes);
  // A path that exists but cannot be opened (locked, no permission).
  void AddUnreadable(const Text& path);
  void AddFolder(const Text& path);
  // Writes to this path fail (a read-only file, a full disk), leaving what was there.
  void FailWritesTo(const Text& path);
  void SetWorkingDirectory(const Text& folder) { workingDirectory_ = folder; }

  // The file's bytes as a string; empty when missing.
  std::string Contents(const Text& path) const;
  // How many times ReadWholeFile was called for a path.
  int ReadCount(const Text& path) const;

  FileContent ReadWholeFile(const Text& path) override;
  bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) override;
  bool FileExists(const Text& path) override;
  bool FolderExists(const Text& path) override;
  bool CreateFolder(const Text& path) override;
  Text WorkingDirectory() override { return workingDirectory_; }
  // Folders list what was added or written directly inside them, matching the folder path exactly
  // (apart from a trailing backslash).
  std::optional<std::vector<FolderEntry>> ListFolder(const Text& folder, TextView pattern) override;
  bool CopyFileReplacing(const Text& from, const Text& to) override;
  bool RemoveFile(const Text& path) override;
  FileContent ReadFileRange(const Text& path, std::uint64_t offset, std::size_t count) override;
  std::optional<std::uint64_t> FileSize(const Text& path) override;
  // Locks are kept per path; a second lock of a held path is busy until the first is released. A folder,
  // an unreadable path or one whose writes fail cannot be locked (not busy).
  FileLockResult TryLockFile(const Text& path) override;

 private:
  std::map<Text, std::vector<std::uint8_t>> files_;
  std::set<Text> unreadable_;
  std::set<Text> folders_;
  std::set<Text> failingWrites_;
  std::shared_ptr<std::set<Text>> locked_ = std::make_shared<std::set<Text>>();
  std::map<Text, int> reads_;
  Text workingDirectory_ = u"C:\\Work\\";
};

}  // namespace korvane
