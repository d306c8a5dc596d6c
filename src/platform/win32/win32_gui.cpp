// The Win32 user interface: screen scale, windows, and the handles of what was built.
#include "platform/win32/win32_gui.h"

#include <algorithm>
#include <utility>

#include "platform/win32/browser_host.h"
#include "platform/win32/browser_page_source.h"
#include "platform/win32/drop_target.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_controls.h"

namespace korvane {
namespace {

// "MS Shell Dlg" at 8 points: the dialog font name that Windows maps to the system's user-interface face.
HFONT CreateControlFont(int pixelsPerInchY) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(8, pixelsPerInchY, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

UINT MessageBoxFlags(MessageBoxKind kind, MessageBoxIcon icon) {
  UINT flags = kind == MessageBoxKind::YesNo ? MB_YESNO : kind == MessageBoxKind::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
  switch (icon) {
    case MessageBoxIcon::Information:
      return flags | MB_ICONINFORMATION;
    case MessageBoxIcon::Question:
      return flags | MB_ICONQUESTION;
    case MessageBoxIcon::Error:
      return flags | MB_ICONERROR;
    case MessageBoxIcon::None:
      break;
  }
  return flags;
}

}  // namespace

Win32Gui::Win32Gui() : uiThread_(GetCurrentThreadId()) {
  int dpiX = USER_DEFAULT_SCREEN_DPI, dpiY = USER_DEFAULT_SCREEN_DPI;
  if (HDC screen = GetDC(nullptr)) {
    dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  scale_ = Scale::FromPixelsPerInch(dpiX, dpiY);
  font_ = CreateControlFont(dpiY);
  pump_ = CreatePumpWindow();
}

Win32Gui::~Win32Gui() {
  // Nothing of the program may run while the windows go.
  hook_ = nullptr;
  sizeHandler_ = nullptr;
  pageSource_.reset();
  for (auto& [number, state] : windows_) ReleaseWindow(*state);
  if (pump_ != nullptr) DestroyWindow(pump_);
  for (HBITMAP bitmap : bitmaps_) DeleteObject(bitmap);
  if (font_ != nullptr) DeleteObject(font_);
}

void Win32Gui::ReleaseWindow(WindowState& state) {
  state.built = false;
  if (state.dropTarget != nullptr) {
    if (state.hwnd != nullptr) RevokeDragDrop(state.hwnd);
    state.dropTarget->Detach();
    state.dropTarget->Release();
    state.dropTarget = nullptr;
  }
  // The browsers go before their host windows, while the windows they were activated in still exist.
  for (auto browser = browsers_.begin(); browser != browsers_.end();) {
    const ControlState* control = FindControl(browser->first);
    if (control == nullptr || control->window == state.number) {
      browser = browsers_.erase(browser);
    } else {
      ++browser;
    }
  }
  if (state.hwnd != nullptr) {
    SetWindowLongPtrW(state.hwnd, GWLP_USERDATA, 0);
    DestroyWindow(state.hwnd);  // also its controls, and the tooltip it owns
    state.hwnd = nullptr;
  }
  if (state.optionsMenu != nullptr) DestroyMenu(state.optionsMenu);
  state.optionsMenu = nullptr;
}

Win32Gui::WindowState* Win32Gui::FindWindowState(int window) const {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : found->second.get();
}

const Win32Gui::ControlState* Win32Gui::FindControl(int control) const {
  const auto found = controls_.find(control);
  return found == controls_.end() ? nullptr : &found->second;
}

HWND Win32Gui::WindowHandle(int window) const {
  const WindowState* state = FindWindowState(window);
  return state == nullptr ? nullptr : state->hwnd;
}

HWND Win32Gui::ControlHandle(int control) const {
  const ControlState* state = FindControl(control);
  return state == nullptr ? nullptr : state->hwnd;
}

HWND Win32Gui::StatusBarHandle(int window) const {
  const WindowState* state = FindWindowState(window);
  return state == nullptr ? nullptr : state->statusBar;
}

HWND Win32Gui::TooltipHandle(int window) const {
  const WindowState* state = FindWindowState(window);
  return state == nullptr ? nullptr : state->tooltip;
}

HMENU Win32Gui::OptionsMenuHandle(int window) const {
  const WindowState* state = FindWindowState(window);
  return state == nullptr ? nullptr : state->optionsMenu;
}

IWebBrowser2* Win32Gui::Browser(int control) const {
  const auto found = browsers_.find(control);
  return found == browsers_.end() ? nullptr : found->second->Browser();
}

PageSource* Win32Gui::BrowserPageSource(PageLoadHandler onLoad) {
  if (pageSourceTried_) return pageSource_.get();
  pageSourceTried_ = true;
  // The program has one browser control.
  const auto found = browsers_.begin();
  if (found == browsers_.end() || found->second->Browser() == nullptr) return nullptr;
  // The start page ("about:blank") completes within moments where an HTML engine is installed.
  constexpr int kStartPageWait = 5000;
  auto source = std::make_unique<win32::BrowserPageSource>(*found->second, *this, std::move(onLoad));
  if (source->WaitUntilComplete(kStartPageWait)) pageSource_ = std::move(source);
  return pageSource_.get();
}

void Win32Gui::ShowWindow(int window, bool visible) {
  HWND hwnd = WindowHandle(window);
  if (hwnd == nullptr) return;
  if (visible) {
    // Everything is painted once, frame and children included, before the window appears.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
  ::ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

void Win32Gui::EnableWindow(int window, bool enabled) {
  if (HWND hwnd = WindowHandle(window)) ::EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

void Win32Gui::CentreWindow(int window) {
  HWND hwnd = WindowHandle(window);
  RECT outer{};
  if (hwnd == nullptr || !GetWindowRect(hwnd, &outer)) return;
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  // Like the placement at creation: never pushed off the top or left edge of a small screen.
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Size Win32Gui::InnerSize(int window) {
  RECT client{};
  if (HWND hwnd = WindowHandle(window)) GetClientRect(hwnd, &client);
  return {client.right - client.left, client.bottom - client.top};
}

int Win32Gui::StatusBarHeight(int window) {
  HWND bar = StatusBarHandle(window);
  if (bar == nullptr || (GetWindowLongPtrW(bar, GWL_STYLE) & WS_VISIBLE) == 0) return 0;
  RECT outer{};
  GetWindowRect(bar, &outer);
  return outer.bottom - outer.top;
}

void Win32Gui::FreezeDrawing(int window, bool frozen) {
  WindowState* state = FindWindowState(window);
  if (state == nullptr || state->hwnd == nullptr) return;
  if (frozen) {
    if (state->freezeDepth++ != 0) return;
    FreezeLists(*state);
    // WM_SETREDRAW works by clearing and setting WS_VISIBLE behind the window's back, so a hidden window
    // is left alone: turning its redraw back on would mark it visible without showing it.
    if (IsWindowVisible(state->hwnd)) {
      SendMessageW(state->hwnd, WM_SETREDRAW, FALSE, 0);
      state->redrawSuspended = true;
    }
    return;
  }
  if (state->freezeDepth == 0 || --state->freezeDepth != 0) return;
  if (state->redrawSuspended) {
    state->redrawSuspended = false;
    SendMessageW(state->hwnd, WM_SETREDRAW, TRUE, 0);
  }
  ThawLists(*state);
  // Repaint without erasing first: erasing the whole window would flicker. The window and its controls
  // are only marked for repainting, each then paints on its own WM_PAINT: painting them all here at once
  // held the user-interface thread 70-100 ms under Wine at every thaw (a batch lookup's start, end and
  // change of library).
  RedrawWindow(state->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  // The window's own background is erased, though: a control hidden during the freeze (the detail
  // editor) invalidated nothing while redraw was off, and its lines would stay in the gap it leaves.
  // The window clips its children, so this touches only the gaps between them and cannot flicker.
  RedrawWindow(state->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN);
}

// A list view keeps computing its scroll range and invalidating rows for every added row, even while
// its window does not draw (10,000 rows take seconds under Wine), unless its own redraw is off. Turning
// it off and on may go through DefWindowProc's WS_VISIBLE switching too, so each list's visibility is
// kept here during the freeze and put right afterwards.
void Win32Gui::FreezeLists(WindowState& state) {
  for (const auto& [number, control] : controls_) {
    if (control.window != state.number || control.kind != ControlKind::ListView) continue;
    state.frozenLists[number] = (GetWindowLongPtrW(control.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    SendMessageW(control.hwnd, WM_SETREDRAW, FALSE, 0);
  }
}

void Win32Gui::ThawLists(WindowState& state) {
  const std::map<int, bool> lists = std::exchange(state.frozenLists, {});
  for (const auto& [number, visible] : lists) {
    HWND list = ControlHandle(number);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    const bool shown = (GetWindowLongPtrW(list, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != visible) ::ShowWindow(list, visible ? SW_SHOWNA : SW_HIDE);
  }
}

bool* Win32Gui::FrozenListVisibility(int control) {
  const ControlState* state = FindControl(control);
  if (state == nullptr || state->kind != ControlKind::ListView) return nullptr;
  WindowState* window = FindWindowState(state->window);
  if (window == nullptr) return nullptr;
  const auto found = window->frozenLists.find(control);
  return found == window->frozenLists.end() ? nullptr : &found->second;
}

MessageBoxAnswer Win32Gui::ShowMessage(int window, const Text& caption, const Text& text, MessageBoxKind kind,
                                       MessageBoxIcon icon) {
  const std::wstring wideCaption = win32::ToWide(caption);
  const std::wstring wideText = win32::ToWide(text);
  // The box disables its owner only and gives the activation back to it when it closes: owned by the
  // main window while another window of ours is modal over it, it would free the main window.
  HWND owner = WindowHandle(window);
  if (owner == nullptr) owner = WindowHandle(mainWindow_);
  const int answer = MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), MessageBoxFlags(kind, icon));
  if (answer == IDYES) return MessageBoxAnswer::Yes;
  if (answer == IDNO) return MessageBoxAnswer::No;
  if (answer == IDCANCEL) return MessageBoxAnswer::Cancel;
  return MessageBoxAnswer::Ok;
}

void Win32Gui::SetStatusWidths(const std::vector<int>& widths) {
  WindowState* state = FindWindowState(mainWindow_);
  if (state == nullptr || state->statusBar == nullptr || state->statusWidths == widths) return;
  state->statusWidths = widths;
  win32::LayoutStatusBar({state->statusBar, state->progress}, state->statusWidths);
}

void Win32Gui::SetTooltip(int control, const Text& text) {
  const ControlState* state = FindControl(control);
  if (state == nullptr) return;
  HWND tooltip = TooltipHandle(state->window);
  if (tooltip == nullptr) return;
  std::wstring wide = win32::ToWide(text);
  TTTOOLINFOW info{};
  // The older size, which every version of the common controls takes (see CreateTooltips).
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = GetParent(state->hwnd);
  info.uId = reinterpret_cast<UINT_PTR>(state->hwnd);
  info.lpszText = wide.data();
  SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace korvane
