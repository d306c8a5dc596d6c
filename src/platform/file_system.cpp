// The parts of the file system that every implementation shares: name patterns, and the answers of a
// file system that implements only reading and writing whole files.
#include "platform/file_system.h"

#include <algorithm>

#include "text/text_ops.h"

namespace korvane {
namespace {

// "*" and "?" wildcard match on lower-cased texts; remembers the last "*" to retry from there.
bool WildcardMatch(TextView name, TextView pattern) {
  std::size_t n = 0, p = 0, starAt = TextView::npos, resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starAt = p++;
      resumeAt = n;
    } else if (starAt != TextView::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool IsTemporaryFileName(TextView name) {
  const std::size_t mark = name.rfind(kTemporaryFileMark);
  if (mark == TextView::npos || mark == 0) return false;
  const TextView rest = name.substr(mark + kTemporaryFileMark.size());
  if (rest.empty()) return true;
  const auto alphanumeric = [](char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  };
  return rest.size() == 7 && rest[0] == u'-' && std::all_of(rest.begin() + 1, rest.end(), alphanumeric);
}

bool NameMatchesPattern(TextView name, TextView pattern) {
  if (pattern.empty()) return true;
  Text wanted = LowerCase(pattern);
  if (wanted.size() > 1 && wanted.back() == u'.') {
    // "*." selects the names without an extension, as the Windows shell reads it.
    if (name.find(u'.') != TextView::npos) return false;
    wanted.pop_back();
  }
  return WildcardMatch(LowerCase(name), wanted);
}

std::optional<std::vector<FolderEntry>> FileSystem::ListFolder(const Text&, TextView) { return std::nullopt; }

bool FileSystem::CopyFileReplacing(const Text& from, const Text& to) {
  const FileContent source = ReadWholeFile(from);
  return source.status == FileReadStatus::Ok && WriteWholeFile(to, source.bytes);
}

bool FileSystem::RemoveFile(const Text&) { return false; }

FileContent FileSystem::ReadFileRange(const Text& path, std::uint64_t offset, std::size_t count) {
  FileContent content = ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) return content;
  const std::size_t size = content.bytes.size();
  const std::size_t start = offset < size ? static_cast<std::size_t>(offset) : size;
  const std::size_t end = start + std::min(count, size - start);
  content.bytes = std::vector<std::uint8_t>(content.bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                            content.bytes.begin() + static_cast<std::ptrdiff_t>(end));
  return content;
}

FileLockResult FileSystem::TryLockFile(const Text&) { return {std::make_unique<FileLock>(), false}; }

bool FileSystem::IsReadOnlyFile(const Text&) { return false; }

Text WriteFailureReason(FileSystem& files, const Text& path) {
  if (files.FolderExists(path)) return u"a folder of that name is in the way";
  if (files.IsReadOnlyFile(path)) return u"the file is read-only";
  if (files.FileExists(path)) return u"the file cannot be replaced: it is in use, or not ours to write";
  return u"the folder takes no new file: no permission, or the disk is full";
}

std::optional<std::uint64_t> FileSystem::FileSize(const Text& path) {
  const FileContent content = ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) return std::nullopt;
  return content.bytes.size();
}

}  // namespace korvane
