#include "platform/headless/memory_file_system.h"

#include <algorithm>

namespace korvane {
namespace {

Text FolderKey(Text path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
  return path;
}

// The name of `path` when it lies directly inside the folder `folderKey`; empty otherwise.
Text ChildName(const Text& path, const Text& folderKey) {
  const Text prefix = folderKey + u'\\';
  if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return {};
  Text name = FolderKey(path.substr(prefix.size()));
  return name.find(u'\\') == Text::npos ? name : Text();
}

class MemoryFileLock final : public FileLock {
 public:
  MemoryFileLock(std::shared_ptr<std::set<Text>> locked, Text path) : locked_(std::move(locked)), path_(std::move(path)) {}
  ~MemoryFileLock() override { locked_->erase(path_); }

 private:
  std::shared_ptr<std::set<Text>> locked_;
  Text path_;
};

}  // namespace

FileLockResult MemoryFileSystem::TryLockFile(const Text& path) {
  if (locked_->contains(path)) return {nullptr, true};
  // What cannot be opened for writing cannot be locked either.
  if (folders_.contains(FolderKey(path)) || failingWrites_.contains(path) || unreadable_.contains(path)) return {};
  locked_->insert(path);
  return {std::make_unique<MemoryFileLock>(locked_, path), false};
}

void MemoryFileSystem::AddFile(const Text& path, std::vector<std::uint8_t> bytes) {
  files_[path] = std::move(bytes);
}

void MemoryFileSystem::AddFile(const Text& path, std::string_view bytes) {
  files_[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool MemoryFileSystem::RemoveFile(const Text& path) {
  unreadable_.erase(path);
  return files_.erase(path) == 1;
}

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

namespace korvane {

std::optional<std::vector<FolderEntry>> MemoryFileSystem::ListFolder(const Text& folder, TextView pattern) {
  const Text key = FolderKey(folder);
  if (!folders_.contains(key) || unreadable_.contains(folder)) return std::nullopt;
  std::vector<FolderEntry> entries;
  auto add = [&](const Text& path, bool isFolder) {
    const Text name = ChildName(path, key);
    if (!name.empty() && NameMatchesPattern(name, pattern)) entries.push_back({name, isFolder});
  };
  for (const auto& [path, bytes] : files_) add(path, false);
  for (const Text& path : unreadable_) {
    if (!files_.contains(path)) add(path, false);
  }
  for (const Text& path : folders_) add(path, true);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

bool MemoryFileSystem::CopyFileReplacing(const Text& from, const Text& to) {
  const FileContent source = ReadWholeFile(from);
  return source.status == FileReadStatus::Ok && WriteWholeFile(to, source.bytes);
}

FileContent MemoryFileSystem::ReadFileRange(const Text& path, std::uint64_t offset, std::size_t count) {
  FileContent content = ReadWholeFile(path);
  const std::size_t size = content.bytes.size();
  const std::size_t start = offset < size ? static_cast<std::size_t>(offset) : size;
  const std::size_t end = start + std::min(count, size - start);
  content.bytes = std::vector<std::uint8_t>(content.bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                            content.bytes.begin() + static_cast<std::ptrdiff_t>(end));
  return content;
}

std::optional<std::uint64_t> MemoryFileSystem::FileSize(const Text& path) {
  if (unreadable_.contains(path)) return std::nullopt;
  auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return found->second.size();
}

}  // namespace korvane
