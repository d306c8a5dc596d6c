#include "catalogue/catalogue.h"

namespace korvane {
LibraryEntry* Catalogue::Find(const Text& key) {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

const LibraryEntry* Catalogue::Find(const Text& key) const {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

LibraryEntry& Catalogue::FindOrCreate(const Text& key) {
  auto [found, created] = entries_.try_emplace(key);
  if (created) order_.push_back(key);
  return found->second;
}

bool Catalogue::SetShown(const Text& key) {
  shown_ = Find(key);
  shownKey_ = shown_ != nullptr ? key : Text();
  return shown_ != nullptr;
}

void Catalogue::Clear() {
  for (auto& [key, entry] : entries_) entry.functions.clear();
  entries_.clear();
  order_.clear();
  shown_ = nullptr;
}

}  // namespace korvane
