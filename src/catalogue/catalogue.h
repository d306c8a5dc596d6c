#pragma once
// The loaded libraries, keyed by library key (file name without folder and last extension, compared
// exactly, letter case included).

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "catalogue/api_function.h"
#include "text/text.h"

namespace korvane {

class Catalogue {
 public:
  // The entry for `key`, or nullptr.
  LibraryEntry* Find(const Text& key);
  const LibraryEntry* Find(const Text& key) const;

  // The entry for `key`, created (empty list, empty path, x86 0) when missing.
  LibraryEntry& FindOrCreate(const Text& key);

  // The library the function list view shows; nullptr when none.
  LibraryEntry* Shown() { return shown_; }
  const LibraryEntry* Shown() const { return shown_; }
  // The key of the shown library; empty when none.
  const Text& ShownKey() const { return shownKey_; }
  // Makes the entry for `key` the shown library; false (and nothing shown) when there is none.
  bool SetShown(const Text& key);

  // Removes every entry (each entry's list emptied first).
  void Clear();

  // Calls `visit(key, entry)` for every entry in the order the entries were created: a load creates them in load
  // order, so saving and listing follow the Libraries list.
  template <typename Visit>
  void ForEach(Visit visit) {
    for (const Text& key : order_) visit(key, entries_.find(key)->second);
  }
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const Text& key : order_) visit(key, entries_.find(key)->second);
  }

  std::size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

  // Row of the shown library in the Libraries list view; every load sets it to 0.
  int shownLibraryRow = 0;

 private:
  // Node-based map: entries never move, so the pointers above stay valid until the entry is removed.
  std::unordered_map<Text, LibraryEntry> entries_;
  std::vector<Text> order_;  // the keys in the order their entries were created
  LibraryEntry* shown_ = nullptr;
  Text shownKey_;
};

}  // namespace korvane
