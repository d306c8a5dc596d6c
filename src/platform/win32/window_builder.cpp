// Builds a window and its controls from a window description.
#include <algorithm>

#include "platform/control_geometry.h"
#include "platform/win32/browser_host.h"
#include "platform/win32/drop_target.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_gui.h"

namespace korvane {
namespace {

DWORD FrameStyle(const WindowDescription& window) {
  if (window.resizable) return WS_OVERLAPPEDWINDOW;
  // An owned window goes and comes with its owner: it gets a close box only.
  const DWORD minimize = window.owner < 0 ? WS_MINIMIZEBOX : 0;
  return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | minimize;
}

Size ClientSize(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return {client.right - client.left, client.bottom - client.top};
}

void AddStyle(HWND hwnd, DWORD style) {
  SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | static_cast<LONG_PTR>(style));
}

}  // namespace

void Win32Gui::BuildWindow(const WindowDescription& window) {
  if (FindWindowState(window.number) != nullptr) return;  // each window is built once
  auto owned = std::make_unique<WindowState>();
  WindowState& state = *owned;
  windows_[window.number] = std::move(owned);
  state.owner = this;
  state.number = window.number;
  if (window.main) mainWindow_ = window.number;
  state.minimumInner = {scale_.ScaledX(window.minInnerWidth), scale_.ScaledY(window.minInnerHeight)};
  if (CreateFrame(state, window) == nullptr) return;
  if (!window.optionsMenu.empty()) state.optionsMenu = win32::CreateOptionsMenu(window.optionsMenu);
  CreateControls(state, window);
  if (!window.statusFields.empty()) {
    for (const StatusField& field : window.statusFields) {
      state.statusWidths.push_back(field.width < 0 ? -1 : scale_.ScaledX(field.width));
    }
    const win32::StatusBar bar =
        win32::CreateStatusBar(state.hwnd, window.statusFields, state.statusWidths, window.resizable, font_);
    state.statusBar = bar.bar;
    state.progress = bar.progress;
  }
  AttachTooltips(state, window);
  if (window.acceptsFiles) AcceptFileDrops(state);
  state.built = true;
}

HWND Win32Gui::CreateFrame(WindowState& state, const WindowDescription& window) {
  win32::RegisterWindowClass(win32::kFrameClass, FrameProcedure, COLOR_BTNFACE);
  state.style = FrameStyle(window);
  state.exStyle = 0;
  Size inner{scale_.ScaledX(window.innerWidth), scale_.ScaledY(window.innerHeight)};
  SIZE outer = win32::OuterSize(inner, state.style, state.exStyle);
  // At most as large as the screen's work area (a small screen at a high resolution), centred in it,
  // hidden until the program shows it. The program lays its controls out to the size it gets.
  const RECT work = win32::WorkArea(nullptr);
  const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
  if (outer.cx > workWidth || outer.cy > workHeight) {
    inner.width -= std::max(0, static_cast<int>(outer.cx) - workWidth);
    inner.height -= std::max(0, static_cast<int>(outer.cy) - workHeight);
    outer = win32::OuterSize(inner, state.style, state.exStyle);
  }
  const int x = work.left + std::max(0, (workWidth - static_cast<int>(outer.cx)) / 2);
  const int y = work.top + std::max(0, (workHeight - static_cast<int>(outer.cy)) / 2);
  const std::wstring title = win32::ToWide(window.title);
  HWND owner = window.owner < 0 ? nullptr : WindowHandle(window.owner);
  state.hwnd = CreateWindowExW(state.exStyle, win32::kFrameClass, title.c_str(), state.style, x, y, outer.cx, outer.cy,
                               owner, nullptr, win32::ModuleInstance(), &state);
  if (state.hwnd == nullptr) return nullptr;
  // A frame that came out thicker than AdjustWindowRectEx said would shrink the client area: correct it.
  const Size client = ClientSize(state.hwnd);
  if (client != inner) {
    SetWindowPos(state.hwnd, nullptr, 0, 0, outer.cx + inner.width - client.width,
                 outer.cy + inner.height - client.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Added after creation: child windows are clipped when the window paints.
  AddStyle(state.hwnd, WS_CLIPCHILDREN);
  return state.hwnd;
}

void Win32Gui::CreateControls(WindowState& state, const WindowDescription& window) {
  const auto groups = OptionGroups(window);
  for (const ControlDescription& control : window.controls) {
    // A control inside a panel is placed relative to the panel, which the table created before it.
    HWND parent = control.parent < 0 ? state.hwnd : ControlHandle(control.parent);
    if (parent == nullptr) continue;
    HWND hwnd = CreateControl(control, parent, ClientSize(parent));
    if (hwnd == nullptr) continue;
    controls_[control.number] = {hwnd, control.kind, window.number, -1};
    for (const auto& [number, group] : groups) {
      if (number == control.number) controls_[control.number].optionGroup = group;
    }
    controlNumbers_[hwnd] = control.number;
    if (control.kind == ControlKind::Browser) {
      // Without the browser component the host stays an empty hidden window and the program goes on.
      if (auto browser = win32::BrowserHost::Create(hwnd, win32::ToWide(control.text))) {
        browsers_[control.number] = std::move(browser);
      }
    }
  }
}

HWND Win32Gui::CreateControl(const ControlDescription& control, HWND parent, Size parentInner) {
  const Rect rect = InitialRect(control, scale_, parentInner);
  switch (control.kind) {
    case ControlKind::PushButton:
      return win32::CreatePushButton(control, rect, parent, font_);
    case ControlKind::PictureButton: {
      HBITMAP picture = win32::MakeDonationBitmap();
      if (picture != nullptr) bitmaps_.push_back(picture);
      return win32::CreatePictureButton(control, rect, parent, font_, picture);
    }
    case ControlKind::TextField:
    case ControlKind::MultiLineField:
      return win32::CreateTextField(control, rect, parent, font_);
    case ControlKind::ListView:
      return win32::CreateListView(control, rect, parent, font_, scale_);
    case ControlKind::Panel:
      return win32::CreatePanel(control, rect, parent, font_);
    case ControlKind::Browser:
      return win32::CreateBrowserHost(control, rect, parent, font_);
    case ControlKind::Label:
      return win32::CreateLabel(control, rect, parent, font_);
    case ControlKind::ComboBox:
      return win32::CreateComboBox(control, rect, parent, font_);
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      return win32::CreateCheckButton(control, rect, parent, font_);
  }
  return nullptr;
}

void Win32Gui::AttachTooltips(WindowState& state, const WindowDescription& window) {
  std::vector<win32::Tool> tools;
  for (const ControlDescription& control : window.controls) {
    if (control.tooltip.empty()) continue;
    tools.push_back({ControlHandle(control.number), win32::ToWide(control.tooltip)});
  }
  if (!tools.empty()) state.tooltip = win32::CreateTooltips(state.hwnd, tools);
}

void Win32Gui::AcceptFileDrops(WindowState& state) {
  const int window = state.number;
  auto* target = new win32::FileDropTarget([this, window](const Text& files) {
    PushUserEvent({kEventFilesDropped, window, -1, 0, files});
  });
  if (RegisterDragDrop(state.hwnd, target) == S_OK) {
    state.dropTarget = target;  // OLE holds its own reference until the registration is revoked
    return;
  }
  // Without OLE on this thread, the shell's older drop messages (WM_DROPFILES) still bring the files.
  target->Release();
  DragAcceptFiles(state.hwnd, TRUE);
}

}  // namespace korvane
