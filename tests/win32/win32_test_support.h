#pragma once
// Shared by the tests of the real Win32 windows: a fixture that builds the main window through
// Win32Gui exactly as the program does, and small readers of what Windows reports about a control.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program_numbers.h"
#include "platform/win32/win32_gui.h"
#include "win32/win32_process.h"

namespace korvane::test {

// The screen's pixels per inch as Windows reports them to a resolution-aware process.
inline int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// In a child process that resolution_test.cpp started at another resolution: true when the screen
// reports the resolution it asked for; the parent is told that the setting was read either way, so
// that it puts the setting back. Outside such a child: true.
inline bool ResolutionAsTheParentAsked() {
  const char* expected = std::getenv("KORVANE_EXPECTED_DPI");
  if (expected == nullptr) return true;
  if (const char* ready = std::getenv("KORVANE_DPI_READY_EVENT")) {
    const std::wstring name(ready, ready + std::char_traits<char>::length(ready));
    if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
      SetEvent(event);
      CloseHandle(event);
    }
  }
  return ScreenPixelsPerInch() == std::atoi(expected);
}

// A control's rectangle relative to its parent's client area, read from Windows.
inline Rect WindowsRect(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

inline LONG_PTR Style(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }
inline LONG_PTR ExtendedStyle(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_EXSTYLE); }
inline bool HasStyle(HWND hwnd, DWORD bits) {
  return (Style(hwnd) & static_cast<LONG_PTR>(bits)) == static_cast<LONG_PTR>(bits);
}

inline std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// The main window built by Win32Gui, hidden as BuildWindow leaves it. The process first becomes aware
// of the screen resolution, as the program does before it creates its Win32Gui.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareProcessLikeTheProgram();
    gui_ = std::make_unique<Win32Gui>();
    gui_->BuildWindow(MainWindowDescription());
    window_ = gui_->WindowHandle(kMainWindow);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { gui_.reset(); }

  HWND Control(int number) const { return gui_->ControlHandle(number); }

  std::unique_ptr<Win32Gui> gui_;
  HWND window_ = nullptr;
};

}  // namespace korvane::test
