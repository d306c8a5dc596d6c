#pragma once
// An in-memory file system for tests: files are byte strings under their Windows-form path.

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

  FileContent ReadWholeFile(const Text& path) override;

  // How many times ReadWholeFile was called for a path.
  int ReadCount(const Text& path) const;

 private:
  std::map<Text, std::vector<std::uint8_t>> files_;
  std::set<Text> unreadable_;
  std::map<Text, int> reads_;
};

}  // namespace korvane
