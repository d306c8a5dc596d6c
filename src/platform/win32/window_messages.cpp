// The window procedure of our windows: window messages become neutral events, size changes run the
// size handler, and list views' row state changes reach the check-box hook as they happen.
#include <algorithm>

#include "platform/win32/drop_target.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_gui.h"

namespace korvane {
namespace {

// A control id that no window table uses.
constexpr DWORD kNoDefaultButton = 0xFFFF;

// HIWORD without the C-style casts of the macro.
WORD HighWord(WPARAM value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }

bool IsButton(ControlKind kind) {
  return kind == ControlKind::PushButton || kind == ControlKind::PictureButton || kind == ControlKind::CheckBox ||
         kind == ControlKind::OptionButton;
}

bool IsTextField(ControlKind kind) { return kind == ControlKind::TextField || kind == ControlKind::MultiLineField; }

// The state image index is kept in bits 12 to 15 of a row's state.
int StateImage(UINT state) { return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12); }

}  // namespace

LRESULT CALLBACK Win32Gui::FrameProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (state == nullptr || state->owner == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  Win32Gui& gui = *state->owner;
  try {
    return gui.HandleFrameMessage(*state, hwnd, message, wParam, lParam);
  } catch (...) {
    if (!gui.pendingError_) gui.pendingError_ = std::current_exception();
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT Win32Gui::HandleFrameMessage(WindowState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(state.number, wParam, lParam);
      return 0;
    case WM_NOTIFY:
      OnNotify(state.number, *reinterpret_cast<const NMHDR*>(lParam));
      break;  // the default answer (0) lets every change happen
    case WM_SIZE:
      OnSize(state, wParam);
      return 0;
    case WM_GETMINMAXINFO:
      OnMinMaxInfo(state, *reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case DM_GETDEFID:
      // The dialog keys ask for the default button when Enter is pressed. Without an answer they would
      // click control id 1 (IDOK), which is one of our buttons; an id that no control has makes Enter
      // click nothing.
      return static_cast<LRESULT>((static_cast<DWORD>(DC_HASDEFID) << 16) | kNoDefaultButton);
    case WM_CLOSE:
      // The program decides whether the window goes; the window itself stays.
      PushUserEvent({kEventCloseWindow, state.number, -1, 0, {}});
      return 0;
    case WM_DROPFILES: {
      auto drop = reinterpret_cast<HDROP>(wParam);
      const Text paths = win32::DroppedPaths(drop);
      DragFinish(drop);
      if (!paths.empty()) PushUserEvent({kEventFilesDropped, state.number, -1, 0, paths});
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32Gui::OnCommand(int window, WPARAM wParam, LPARAM lParam) {
  // Only controls are looked at: they name themselves in lParam. The options menu reports its choice
  // through TrackPopupMenu's result instead, and accelerators are not used.
  const auto found = controlNumbers_.find(reinterpret_cast<HWND>(lParam));
  if (found == controlNumbers_.end()) return;
  const ControlState& control = controls_.at(found->second);
  const WORD code = HighWord(wParam);
  if (code == BN_CLICKED && IsButton(control.kind)) {
    // The dialog keys send BN_CLICKED on a button's behalf; a disabled button cannot have been pressed.
    if (IsWindowEnabled(control.hwnd)) PushUserEvent({kEventControl, window, found->second, kTypeClick, {}});
  } else if (code == EN_CHANGE && IsTextField(control.kind)) {
    PushUserEvent({kEventControl, window, found->second, kTypeChanged, {}});
  } else if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && control.kind == ControlKind::ComboBox) {
    PushUserEvent({kEventControl, window, found->second, kTypeChanged, {}});
  }
}

void Win32Gui::OnNotify(int window, const NMHDR& header) {
  const auto found = controlNumbers_.find(header.hwndFrom);
  if (found == controlNumbers_.end()) return;
  if (controls_.at(found->second).kind != ControlKind::ListView) return;
  if (header.code == NM_DBLCLK) {
    PushUserEvent({kEventControl, window, found->second, kTypeDoubleClick, {}});
  } else if (header.code == LVN_ITEMCHANGED) {
    OnListItemChanged(window, found->second, *reinterpret_cast<const NMLISTVIEW*>(&header));
  }
}

void Win32Gui::OnListItemChanged(int window, int list, const NMLISTVIEW& change) {
  if ((change.uChanged & LVIF_STATE) == 0) return;
  // The hook sees every state change of a row at once, before anything else happens. A copy runs, so
  // that the hook may replace itself.
  if (change.iItem >= 0 && hook_) {
    const CheckBoxHook hook = hook_;
    hook(list, change.iItem, StateImage(change.uNewState));
  }
  if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0) {
    PushUserEvent({kEventControl, window, list, kTypeChanged, {}});
  }
}

void Win32Gui::OnSize(WindowState& state, WPARAM kind) {
  // A minimised window has no client area to arrange; restoring it brings another WM_SIZE.
  if (kind == SIZE_MINIMIZED) return;
  if (state.statusBar != nullptr) win32::LayoutStatusBar({state.statusBar, state.progress}, state.statusWidths);
  // The handler arranges the controls, so it waits until they all exist. It runs here, synchronously:
  // while the user drags the border, Windows runs its own loop and WaitEvent sees nothing.
  if (state.built && state.number == mainWindow_ && sizeHandler_) {
    const std::function<void()> handler = sizeHandler_;
    handler();
    // Moved children repaint themselves, but what they uncovered inside each other (a panel's
    // children, a list beside the panel) is left as it was drawn: everything is drawn afresh.
    if (state.freezeDepth == 0) {
      RedrawWindow(state.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    }
  }
}

void Win32Gui::OnMinMaxInfo(const WindowState& state, MINMAXINFO& info) const {
  const SIZE minimum = win32::OuterSize(state.minimumInner, state.style, state.exStyle);
  // A minimum larger than the work area would hold the window wider than the screen, maximised too.
  const RECT work = win32::WorkArea(state.hwnd);
  if (state.minimumInner.width > 0) info.ptMinTrackSize.x = std::min<LONG>(minimum.cx, work.right - work.left);
  if (state.minimumInner.height > 0) info.ptMinTrackSize.y = std::min<LONG>(minimum.cy, work.bottom - work.top);
}

}  // namespace korvane
