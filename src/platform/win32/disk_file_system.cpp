// The file system on disk for the Windows builds.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/file_system.h"

namespace korvane {
namespace {

std::wstring ToWide(const Text& text) { return std::wstring(text.begin(), text.end()); }

class Win32FileLock final : public FileLock {
 public:
  explicit Win32FileLock(HANDLE file) : file_(file) {}
  ~Win32FileLock() override { CloseHandle(file_); }

 private:
  HANDLE file_;
};

class Win32FileSystem final : public FileSystem {
 public:
  FileLockResult TryLockFile(const Text& path) override {
    // Opened without any sharing: every other open of the file fails until this handle is closed.
    HANDLE file = CreateFileW(ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {nullptr, GetLastError() == ERROR_SHARING_VIOLATION};
    return {std::make_unique<Win32FileLock>(file), false};
  }

  FileContent ReadWholeFile(const Text& path) override {
    FileContent content;
    HANDLE file = OpenForReading(ToWide(path), content);
    if (file == INVALID_HANDLE_VALUE) return content;
    content.status = ReadAll(file, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    CloseHandle(file);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

  bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) override {
    const std::wstring name = ToWide(path);
    if (IsFolder(name)) return false;
    const std::wstring temporary = TemporaryFor(name);
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    std::size_t done = 0;
    while (written && done < bytes.size()) {
      const std::size_t left = bytes.size() - done;
      const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
      DWORD wrote = 0;
      written = WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) && wrote == chunk;
      done += wrote;
    }
    written = FlushFileBuffers(file) && written;
    written = CloseHandle(file) && written;
    return RenameOver(temporary, name, written);
  }

  bool CopyFileReplacing(const Text& from, const Text& to) override {
    const std::wstring source = ToWide(from);
    const std::wstring name = ToWide(to);
    if (IsFolder(source) || IsFolder(name)) return false;
    const std::wstring temporary = TemporaryFor(name);
    // CopyFileW carries the source's attributes over; a read-only source must not make the
    // installed copy read-only, or the next export could not replace it.
    const bool copied = CopyFileW(source.c_str(), temporary.c_str(), FALSE) &&
                        SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RenameOver(temporary, name, copied);
  }

  bool RemoveFile(const Text& path) override { return DeleteFileW(ToWide(path).c_str()) != 0; }

  std::optional<std::vector<FolderEntry>> ListFolder(const Text& folder, TextView pattern) override {
    std::wstring name = ToWide(folder);
    if (!IsFolder(name.empty() ? L"." : name)) return std::nullopt;
    if (!name.empty() && name.back() != L'\\' && name.back() != L'/') name += L'\\';
    // Every entry is fetched and matched here: the system's own matching also tries the short 8.3
    // names, so "*.txt" would pick up "notes.txt2".
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((name + L"*").c_str(), &found);
    std::vector<FolderEntry> entries;
    if (search == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_NOT_FOUND) return entries;
      return std::nullopt;
    }
    do {
      const Text child(found.cFileName, found.cFileName + wcslen(found.cFileName));
      if (child == u"." || child == u".." || !NameMatchesPattern(child, pattern)) continue;
      entries.push_back({child, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
  }

  FileContent ReadFileRange(const Text& path, std::uint64_t offset, std::size_t count) override {
    FileContent content;
    HANDLE file = OpenForReading(ToWide(path), content);
    if (file == INVALID_HANDLE_VALUE) return content;
    content.status = ReadRange(file, offset, count, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    CloseHandle(file);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

  bool IsReadOnlyFile(const Text& path) override {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  }

  std::optional<std::uint64_t> FileSize(const Text& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return std::nullopt;
    }
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  bool FileExists(const Text& path) override {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  bool FolderExists(const Text& path) override { return IsFolder(ToWide(path)); }

  bool CreateFolder(const Text& path) override {
    const std::wstring name = ToWide(path);
    return CreateDirectoryW(name.c_str(), nullptr) || IsFolder(name);
  }

  Text WorkingDirectory() override {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    folder.resize(length < needed ? length : 0);
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return Text(folder.begin(), folder.end());
  }

 private:
  // A temporary file beside the target, renamed over it once complete: the old file stays whole
  // until the new one is.
  static std::wstring TemporaryFor(const std::wstring& name) {
    return name + std::wstring(kTemporaryFileMark.begin(), kTemporaryFileMark.end());
  }

  // Renames a complete temporary file over `name`; removes it otherwise. A read-only target is
  // refused here, not left to MoveFileExW: Windows refuses it, Wine replaces it.
  static bool RenameOver(const std::wstring& temporary, const std::wstring& name, bool complete) {
    const DWORD target = GetFileAttributesW(name.c_str());
    if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY) != 0) complete = false;
    if (!complete || !MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileW(temporary.c_str());
      return false;
    }
    return true;
  }

  // Opens a file on disk for reading; otherwise sets the status and returns INVALID_HANDLE_VALUE. A
  // pipe, console or other device is refused before any read: reading it could wait for ever.
  static HANDLE OpenForReading(const std::wstring& name, FileContent& content) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      content.status = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileReadStatus::Missing
                                                                                      : FileReadStatus::Unreadable;
      return file;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
      CloseHandle(file);
      content.status = FileReadStatus::NotRegularFile;
      return INVALID_HANDLE_VALUE;
    }
    return file;
  }

  // Appends up to `count` bytes read from the current position. The bytes pass through a buffer on the
  // stack, so the vector is never zero-filled first.
  static bool AppendRead(HANDLE file, std::uint64_t count, std::vector<std::uint8_t>& bytes) {
    std::uint8_t chunk[32 * 1024];
    while (count > 0) {
      const DWORD want = count < sizeof chunk ? static_cast<DWORD>(count) : static_cast<DWORD>(sizeof chunk);
      DWORD got = 0;
      if (!ReadFile(file, chunk, want, &got, nullptr)) return false;
      if (got == 0) break;  // end of file (it may have shrunk meanwhile)
      bytes.insert(bytes.end(), chunk, chunk + got);
      count -= got;
    }
    return true;
  }

  static bool ReadRange(HANDLE file, std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return false;
    const auto total = static_cast<std::uint64_t>(size.QuadPart);
    const std::uint64_t available = offset < total ? total - offset : 0;
    const std::uint64_t wanted = std::min<std::uint64_t>(count, available);
    if (wanted == 0) return true;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
    bytes.reserve(static_cast<std::size_t>(wanted));
    return AppendRead(file, wanted, bytes);
  }

  static bool IsFolder(const std::wstring& name) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  // Reads to the end of the file; the size only reserves room, so a file that grows meanwhile is still
  // read whole.
  static bool ReadAll(HANDLE file, std::vector<std::uint8_t>& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return false;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    return AppendRead(file, std::numeric_limits<std::uint64_t>::max(), bytes);
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeDiskFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace korvane
