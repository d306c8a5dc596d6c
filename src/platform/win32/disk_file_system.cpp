// The file system on disk for the Windows builds.
#include <windows.h>

#include <string>

#include "platform/file_system.h"

namespace korvane {
namespace {

std::wstring ToWide(const Text& text) { return std::wstring(text.begin(), text.end()); }

class Win32FileSystem final : public FileSystem {
 public:
  FileContent ReadWholeFile(const Text& path) override {
    FileContent content;
    const std::wstring name = ToWide(path);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      content.status = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                           ? FileReadStatus::Missing
                           : FileReadStatus::Unreadable;
      return content;
    }
    // A pipe, console or other device would make the read wait for ever.
    if (GetFileType(file) != FILE_TYPE_DISK) {
      CloseHandle(file);
      content.status = FileReadStatus::NotRegularFile;
      return content;
    }
    content.status = ReadAll(file, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    CloseHandle(file);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

  bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) override {
    const std::wstring name = ToWide(path);
    if (IsFolder(name)) return false;
    // A temporary file beside the target, renamed over it once complete: the old file stays whole
    // until the new one is.
    const std::wstring temporary = name + L".korvane-tmp";
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
    if (!written || !MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileW(temporary.c_str());
      return false;
    }
    return true;
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
  static bool IsFolder(const std::wstring& name) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  // Reads to the end of the file; the size only sizes the buffer.
  static bool ReadAll(HANDLE file, std::vector<std::uint8_t>& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t used = 0;
    for (;;) {
      if (used == bytes.size()) bytes.resize(bytes.size() * 2);
      const std::size_t room = bytes.size() - used;
      const DWORD chunk = room > 0x40000000 ? 0x40000000 : static_cast<DWORD>(room);
      DWORD got = 0;
      if (!ReadFile(file, bytes.data() + used, chunk, &got, nullptr)) return false;
      if (got == 0) break;
      used += got;
    }
    bytes.resize(used);
    return true;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeDiskFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace korvane
