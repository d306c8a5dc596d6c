// The panel (a bordered container for other controls) and the host window of the browser control.
#include "platform/win32/win32_controls.h"
#include "platform/win32/wide_text.h"

namespace korvane::win32 {
namespace {

// Controls report to their parent. The panel's children are the program's controls like any other, so
// their commands and notifications go on to the window that holds the panel, as if they came from
// its own children.
LRESULT CALLBACK PanelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND || message == WM_NOTIFY) {
    if (HWND parent = GetParent(hwnd)) return SendMessageW(parent, message, wParam, lParam);
  }
  // A panel lives as long as its window: nothing a child posts (an edit control's WM_CLOSE on Escape)
  // may destroy it.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND CreatePanel(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  RegisterWindowClass(kPanelClass, PanelProcedure, COLOR_BTNFACE);
  // WS_EX_CONTROLPARENT lets the dialog keys (Tab) walk into the panel's children.
  return CreateChild(WS_EX_CONTROLPARENT, kPanelClass, ToWide(control.text),
                     CommonStyle(control) | WS_BORDER | WS_CLIPCHILDREN, rect, parent, control.number, font);
}

HWND CreateBrowserHost(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  // The window that holds the embedded browser (browser_host.cpp places it in here once the window
  // exists); it keeps the control's place, its number and its start page (as its text).
  RegisterWindowClass(kBrowserHostClass, DefWindowProcW, -1);
  return CreateChild(0, kBrowserHostClass, ToWide(control.text), CommonStyle(control), rect, parent, control.number,
                     font);
}

}  // namespace korvane::win32
