#pragma once
// The loaded libraries, keyed by library key (file name without folder and last extension, compared
// exactly, letter case included).

#include <cstddef>
#include <unordered_map>

#include "catalogue/api_function.h"
#include "text/text.h"

namespace korvane {

// 'user32' for 'C:\SDK\Lib\user32.lib' (and for '/usr/lib/user32.lib'): the file name after the last
// "\" or "/", without its last extension.
Text LibraryKeyFromPath(TextView path);

// 'user32.lib' for 'C:\SDK\Lib\user32.lib': the file name after the last "\" or "/".
Text FileNameFromPath(TextView path);

// The folder of a path including its last "\" or "/"; empty when it has none.
Text FolderFromPath(TextView path);

class Catalogue {
 public:
  // The entry for `key`, or nullptr. Does not change the current entry.
  LibraryEntry* Find(const Text& key);
  const LibraryEntry* Find(const Text& key) const;

  // The entry for `key`, created (empty list, empty path, x86 0) when missing. Either way it becomes the
  // current entry, which is how the loader finds the entry a scan has just filled.
  LibraryEntry& FindOrCreate(const Text& key);

  // The entry last found or created by FindOrCreate; nullptr after Clear.
  LibraryEntry* Current() { return current_; }

  // The library the function list view shows; nullptr when none.
  LibraryEntry* Shown() { return shown_; }
  const LibraryEntry* Shown() const { return shown_; }
  // Makes the entry for `key` the shown library; false (and nothing shown) when there is none.
  bool SetShown(const Text& key);

  // Removes every entry (each entry's list emptied first).
  void Clear();

  // Calls `visit` for every entry, in the catalogue's own order (which carries no meaning).
  template <typename Visit>
  void ForEach(Visit visit) {
    for (auto& [key, entry] : entries_) visit(entry);
  }

  std::size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

  // Row of the shown library in the Libraries list view; every load sets it to 0.
  int shownLibraryRow = 0;

 private:
  // Node-based map: entries never move, so the pointers above stay valid until the entry is removed.
  std::unordered_map<Text, LibraryEntry> entries_;
  LibraryEntry* current_ = nullptr;
  LibraryEntry* shown_ = nullptr;
};

}  // namespace korvane
