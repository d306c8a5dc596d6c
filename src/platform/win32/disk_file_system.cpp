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
    content.status = ReadAll(file, content.bytes) ? FileReadStatus::Ok : FileReadStatus::Unreadable;
    CloseHandle(file);
    if (content.status != FileReadStatus::Ok) content.bytes.clear();
    return content;
  }

 private:
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
