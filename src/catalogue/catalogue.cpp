#include "catalogue/catalogue.h"

namespace korvane {
namespace {

std::size_t FileNameStart(TextView path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == TextView::npos ? 0 : slash + 1;
}

}  // namespace

Text FileNameFromPath(TextView path) { return Text(path.substr(FileNameStart(path))); }

Text FolderFromPath(TextView path) { return Text(path.substr(0, FileNameStart(path))); }

Text LibraryKeyFromPath(TextView path) {
  const TextView name = path.substr(FileNameStart(path));
  const std::size_t dot = name.find_last_of(u'.');
  return Text(dot == TextView::npos ? name : name.substr(0, dot));
}

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
