#include "platform/headless/memory_file_system.h"

namespace korvane {
namespace {

Text FolderKey(Text path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
  return path;
}

}  // namespace

void MemoryFileSystem::AddFile(const Text& path, std::vector<std::uint8_t> bytes) {
  files_[path] = std::move(bytes);
}

void MemoryFileSystem::AddFile(const Text& path, std::string_view bytes) {
  files_[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void MemoryFileSystem::RemoveFile(const Text& path) { files_.erase(path); }

void MemoryFileSystem::AddUnreadable(const Text& path) { unreadable_.insert(path); }

void MemoryFileSystem::AddFolder(const Text& path) { folders_.insert(FolderKey(path)); }

void MemoryFileSystem::FailWritesTo(const Text& path) { failingWrites_.insert(path); }

std::string MemoryFileSystem::Contents(const Text& path) const {
  auto found = files_.find(path);
  return found == files_.end() ? std::string() : std::string(found->second.begin(), found->second.end());
}

int MemoryFileSystem::ReadCount(const Text& path) const {
  auto found = reads_.find(path);
  return found == reads_.end() ? 0 : found->second;
}

FileContent MemoryFileSystem::ReadWholeFile(const Text& path) {
  ++reads_[path];
  FileContent content;
  if (unreadable_.contains(path) || folders_.contains(FolderKey(path))) {
    content.status = FileReadStatus::Unreadable;
  } else if (auto found = files_.find(path); found != files_.end()) {
    content.status = FileReadStatus::Ok;
    content.bytes = found->second;
  }
  return content;
}

bool MemoryFileSystem::WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) {
  if (failingWrites_.contains(path) || folders_.contains(FolderKey(path))) return false;
  files_[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  return true;
}

bool MemoryFileSystem::FileExists(const Text& path) { return files_.contains(path) || unreadable_.contains(path); }

bool MemoryFileSystem::FolderExists(const Text& path) { return folders_.contains(FolderKey(path)); }

bool MemoryFileSystem::CreateFolder(const Text& path) {
  if (files_.contains(path)) return false;
  folders_.insert(FolderKey(path));
  return true;
}

}  // namespace korvane
