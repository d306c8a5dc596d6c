#include "platform/headless/memory_file_system.h"

namespace korvane {

void MemoryFileSystem::AddFile(const Text& path, std::vector<std::uint8_t> bytes) {
  files_[path] = std::move(bytes);
}

void MemoryFileSystem::AddFile(const Text& path, std::string_view bytes) {
  files_[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void MemoryFileSystem::AddUnreadable(const Text& path) { unreadable_.insert(path); }

FileContent MemoryFileSystem::ReadWholeFile(const Text& path) {
  ++reads_[path];
  FileContent content;
  if (unreadable_.contains(path)) {
    content.status = FileReadStatus::Unreadable;
  } else if (auto found = files_.find(path); found != files_.end()) {
    content.status = FileReadStatus::Ok;
    content.bytes = found->second;
  }
  return content;
}

int MemoryFileSystem::ReadCount(const Text& path) const {
  auto found = reads_.find(path);
  return found == reads_.end() ? 0 : found->second;
}

}  // namespace korvane
