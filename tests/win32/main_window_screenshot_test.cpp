// Pictures of the main window as a person would see it, saved as build artifacts to look at: at start-up
// (after the program's layout ran) and with rows and the detail editor shown. Each is a 24-bit BMP in
// the folder named by KORVANE_SCREENSHOTS, or in "screenshots" under the current directory.
#include <cstdio>
#include <set>
#include <string>

#include "app/layout.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

struct Capture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bgr;  // bottom row first, rows padded to 4 bytes, as a BMP stores them
  int stride = 0;
};

// The window as it is on the screen, frame included.
Capture CaptureWindow(HWND window) {
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

std::wstring ScreenshotFolder() {
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

bool WriteBmp(const std::wstring& path, const Capture& capture) {
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

std::size_t DistinctColours(const Capture& capture) {
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

class MainWindowScreenshot : public test::MainWindowTest {
 protected:
  // Shows the window as the program does after building it, and lets every control paint.
  void ShowLikeTheProgram() {
    LayoutMainWindow(*gui_);
    gui_->ShowWindow(kMainWindow, true);
    test::PendingEvents(*gui_);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    test::PendingEvents(*gui_);
  }

  void SaveAndCheck(const std::wstring& name) {
    const Capture capture = CaptureWindow(window_);
    RECT outer{};
    GetWindowRect(window_, &outer);
    EXPECT_EQ(capture.width, outer.right - outer.left);
    // A window with buttons, fields, a list and a status bar shows more than a few flat colours.
    EXPECT_GT(DistinctColours(capture), 8u) << "the capture looks empty";
    const int dpi = test::ScreenPixelsPerInch();
    const std::wstring suffix = dpi == 96 ? L"" : L"-" + std::to_wstring(dpi) + L"dpi";
    const std::wstring path = ScreenshotFolder() + L"\\" + name + suffix + L".bmp";
    EXPECT_TRUE(WriteBmp(path, capture)) << "cannot write " << std::string(path.begin(), path.end());
  }
};

TEST_F(MainWindowScreenshot, AtStartUp) {
  ShowLikeTheProgram();
  SaveAndCheck(L"main-startup");
}

TEST_F(MainWindowScreenshot, WithRowsAndTheDetailEditor) {
  const struct {
    const char16_t* function;
    const char16_t* parameters;
    const char16_t* result;
    bool checked;
  } rows[] = {
      {u"MessageBox", u"( HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType )", u"INT", true},
      {u"MessageBoxA", u"( HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType )", u"INT", true},
      {u"MessageBoxW", u"", u"", false},
      {u"MessageBeep", u"( UINT uType )", u"BOOL", true},
  };
  for (const auto& row : rows) {
    gui_->AddRow(kFunctionList, {row.function, row.parameters, row.result, u"", u"", u""}, row.checked);
  }
  gui_->AddRow(kLibrariesList, {u"user32.lib"}, true);
  gui_->AddRow(kLibrariesList, {u"kernel32.lib"}, true);
  gui_->SetRowState(kFunctionList, 1, true, true);
  gui_->SetText(kDetailFunction, u"MessageBoxA");
  gui_->SetText(kDetailParameters, u"HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType");
  gui_->SetText(kDetailReturn, u"INT");
  gui_->SetText(kDetailDescription, u"Displays a modal dialog box.");
  gui_->SetText(kLibraryPath, u"C:\\SDK\\Lib\\user32.lib");
  gui_->SetText(kArchitecture, u"x64");
  gui_->SetStatusText(kStatusCount, u" 4 Functions");
  gui_->SetVisible(kLibrariesList, true);
  gui_->SetVisible(kDetailPanel, true);
  ShowLikeTheProgram();
  SaveAndCheck(L"main-detail");
}

}  // namespace
}  // namespace korvane
