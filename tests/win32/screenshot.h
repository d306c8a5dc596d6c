#pragma once
// Pictures of a window as a person would see it, saved as build artifacts to look at: 24-bit BMP files
// in the folder named by KORVANE_SCREENSHOTS, or in "screenshots" under the current directory.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace korvane::test {

struct Capture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bgr;  // bottom row first, rows padded to 4 bytes, as a BMP stores them
  int stride = 0;
};

// The window as it is on the screen, frame included.
inline Capture CaptureWindow(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  Capture capture;
  capture.width = outer.right - outer.left;
  capture.height = outer.bottom - outer.top;
  capture.stride = (capture.width * 3 + 3) & ~3;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = capture.height;  // positive: bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC windowDc = GetWindowDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memoryDc, bitmap);
  BitBlt(memoryDc, 0, 0, capture.width, capture.height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* begin = static_cast<const std::uint8_t*>(bits);
  capture.bgr.assign(begin,
                     begin + static_cast<std::size_t>(capture.stride) * static_cast<std::size_t>(capture.height));
  SelectObject(memoryDc, old);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  return capture;
}

inline std::wstring ScreenshotFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KORVANE_SCREENSHOTS", folder, MAX_PATH) == 0) {
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"\\screenshots";
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
  }
  CreateDirectoryW(folder, nullptr);
  return folder;
}

inline bool WriteBmp(const std::wstring& path, const Capture& capture) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = capture.width;
  header.biHeight = capture.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(capture.bgr.size());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1 &&
                 std::fwrite(capture.bgr.data(), 1, capture.bgr.size(), out) == capture.bgr.size();
  written = std::fclose(out) == 0 && written;
  return written;
}

inline std::size_t DistinctColours(const Capture& capture) {
  std::set<std::uint32_t> colours;
  for (int y = 0; y < capture.height; ++y) {
    const std::uint8_t* row = capture.bgr.data() + static_cast<std::ptrdiff_t>(y) * capture.stride;
    for (int x = 0; x < capture.width; ++x) {
      const std::uint8_t* pixel = row + x * 3;
      colours.insert(static_cast<std::uint32_t>(pixel[0] | pixel[1] << 8 | pixel[2] << 16));
    }
  }
  return colours.size();
}

// Writes the capture as <name>.bmp into the screenshot folder.
inline bool SaveScreenshot(const Capture& capture, const std::wstring& name) {
  return WriteBmp(ScreenshotFolder() + L"\\" + name + L".bmp", capture);
}

}  // namespace korvane::test
