// The status bar along a window's bottom edge, with a progress bar in its first field.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_controls.h"

namespace korvane::win32 {
namespace {

void AddStyle(HWND hwnd, DWORD style) {
  const LONG_PTR old = GetWindowLongPtrW(hwnd, GWL_STYLE);
  SetWindowLongPtrW(hwnd, GWL_STYLE, old | static_cast<LONG_PTR>(style));
}

}  // namespace

std::vector<int> StatusFieldEdges(const std::vector<int>& widths, int barWidth) {
  int fixed = 0;
  for (int width : widths) {
    if (width >= 0) fixed += width;
  }
  const int remaining = barWidth > fixed ? barWidth - fixed : 0;
  std::vector<int> edges;
  int right = 0;
  for (int width : widths) {
    right += width >= 0 ? width : remaining;
    edges.push_back(right);
  }
  // The last field reaches the bar's right edge whatever rounding left over.
  if (!edges.empty()) edges.back() = -1;
  return edges;
}

void LayoutStatusBar(const StatusBar& bar, const std::vector<int>& widths) {
  if (bar.bar == nullptr) return;
  // A status bar places itself along the parent's bottom edge when it sees WM_SIZE.
  SendMessageW(bar.bar, WM_SIZE, 0, 0);
  RECT client{};
  GetClientRect(bar.bar, &client);
  std::vector<int> edges = StatusFieldEdges(widths, client.right - client.left);
  SendMessageW(bar.bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  if (bar.progress != nullptr) {
    RECT field{};
    SendMessageW(bar.bar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&field));
    MoveWindow(bar.progress, field.left, field.top, field.right - field.left, field.bottom - field.top, TRUE);
  }
}

StatusBar CreateStatusBar(HWND window, const std::vector<StatusField>& fields, const std::vector<int>& widths,
                          bool sizeGrip, HFONT font) {
  StatusBar bar;
  const DWORD style = WS_VISIBLE | (sizeGrip ? SBARS_SIZEGRIP : 0);
  bar.bar = CreateChild(0, STATUSCLASSNAMEW, L"", style, Rect{}, window, kStatusBarId, font);
  if (bar.bar == nullptr) return bar;
  bar.progress = CreateChild(0, PROGRESS_CLASSW, L"", WS_VISIBLE, Rect{}, bar.bar, 0, nullptr);
  if (bar.progress != nullptr) {
    SendMessageW(bar.progress, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar.progress, PBM_SETPOS, 0, 0);
  }
  LayoutStatusBar(bar, widths);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::wstring text = ToWide(fields[i].text);
    SendMessageW(bar.bar, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // The progress bar is a child of the bar: neither may paint over the other.
  AddStyle(bar.bar, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  return bar;
}

}  // namespace korvane::win32
