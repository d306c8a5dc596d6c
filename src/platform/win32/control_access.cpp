// Controls addressed by their numbers: texts, states, rectangles, list rows, status fields, menu marks.
#include <algorithm>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_gui.h"

namespace korvane {

HWND Win32Gui::ControlOfKind(int control, ControlKind kind) const {
  const ControlState* state = FindControl(control);
  return state != nullptr && state->kind == kind ? state->hwnd : nullptr;
}

void Win32Gui::SetText(int control, const Text& text) {
  const ControlState* state = FindControl(control);
  if (state == nullptr || state->kind == ControlKind::ListView) return;
  // A one-line field reports this change (EN_CHANGE) like a typed one, as Windows does.
  SetWindowTextW(state->hwnd, win32::ToWide(text).c_str());
  // The caret goes to the end of the new text, where the user goes on typing (Windows puts it at the
  // start).
  if (state->kind == ControlKind::TextField || state->kind == ControlKind::MultiLineField) {
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(state->hwnd));
    SendMessageW(state->hwnd, EM_SETSEL, end, static_cast<LPARAM>(end));
  }
}

Text Win32Gui::GetText(int control) {
  const ControlState* state = FindControl(control);
  if (state == nullptr || state->kind == ControlKind::ListView) return {};
  return win32::FromWide(win32::WindowText(state->hwnd));
}

void Win32Gui::SetEnabled(int control, bool enabled) {
  if (HWND hwnd = ControlHandle(control)) ::EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

bool Win32Gui::IsEnabled(int control) {
  HWND hwnd = ControlHandle(control);
  return hwnd != nullptr && IsWindowEnabled(hwnd) != FALSE;
}

void Win32Gui::SetVisible(int control, bool visible) {
  if (bool* frozen = FrozenListVisibility(control)) *frozen = visible;  // kept through the thaw
  if (HWND hwnd = ControlHandle(control)) ::ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Gui::RaiseControl(int control) {
  HWND hwnd = ControlHandle(control);
  if (hwnd == nullptr) return;
  // A frozen list is shown when its window thaws; showing it now would undo the freeze.
  bool* frozen = FrozenListVisibility(control);
  if (frozen != nullptr) *frozen = true;
  const UINT show = frozen != nullptr ? 0 : SWP_SHOWWINDOW;
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | show);
}

bool Win32Gui::IsVisible(int control) {
  // A frozen list's WS_VISIBLE bit may be the freeze's doing; the visibility it will have counts.
  if (const bool* frozen = FrozenListVisibility(control)) return *frozen;
  // The control's own WS_VISIBLE bit: IsWindowVisible would also ask every parent, and so would answer
  // false for every control while the window itself is hidden.
  HWND hwnd = ControlHandle(control);
  return hwnd != nullptr && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

Rect Win32Gui::GetRect(int control) {
  HWND hwnd = ControlHandle(control);
  if (hwnd == nullptr) return {};
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  // Screen coordinates to the parent's client area: the window's, or the panel's for its children.
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Gui::SetRect(int control, const Rect& rect) {
  if (HWND hwnd = ControlHandle(control)) {
    MoveWindow(hwnd, rect.x, rect.y, rect.width < 0 ? 0 : rect.width, rect.height < 0 ? 0 : rect.height, TRUE);
  }
}

int Win32Gui::AddItem(int combo, const Text& text) {
  HWND hwnd = ControlOfKind(combo, ControlKind::ComboBox);
  if (hwnd == nullptr) return -1;
  const std::wstring wide = win32::ToWide(text);
  const LRESULT item = SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  return item < 0 ? -1 : static_cast<int>(item);
}

void Win32Gui::ClearItems(int combo) {
  if (HWND hwnd = ControlOfKind(combo, ControlKind::ComboBox)) {
    SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
    SetWindowTextW(hwnd, L"");
  }
}

int Win32Gui::ItemCount(int combo) {
  HWND hwnd = ControlOfKind(combo, ControlKind::ComboBox);
  const LRESULT count = hwnd == nullptr ? 0 : SendMessageW(hwnd, CB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int>(count);
}

Text Win32Gui::ItemText(int combo, int item) {
  HWND hwnd = ControlOfKind(combo, ControlKind::ComboBox);
  if (hwnd == nullptr || item < 0) return {};
  const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return win32::FromWide(text);
}

void Win32Gui::SelectItem(int combo, int item) {
  if (HWND hwnd = ControlOfKind(combo, ControlKind::ComboBox)) {
    // An item that does not exist clears the selection and the field, as -1 does.
    SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(item < 0 ? -1 : item), 0);
  }
}

int Win32Gui::SelectedItem(int combo) {
  HWND hwnd = ControlOfKind(combo, ControlKind::ComboBox);
  const LRESULT item = hwnd == nullptr ? CB_ERR : SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
  return item < 0 ? -1 : static_cast<int>(item);
}

void Win32Gui::SetChecked(int control, bool checked) {
  const ControlState* state = FindControl(control);
  if (state == nullptr || (state->kind != ControlKind::CheckBox && state->kind != ControlKind::OptionButton)) return;
  // BM_SETCHECK switches one button only; an option's group is cleared here, as a click would.
  if (checked && state->optionGroup != -1) {
    for (const auto& [number, other] : controls_) {
      if (other.optionGroup == state->optionGroup) SendMessageW(other.hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
  SendMessageW(state->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Gui::IsChecked(int control) {
  const ControlState* state = FindControl(control);
  if (state == nullptr || (state->kind != ControlKind::CheckBox && state->kind != ControlKind::OptionButton)) return false;
  return SendMessageW(state->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Gui::ClearRows(int list) {
  HWND hwnd = ControlOfKind(list, ControlKind::ListView);
  if (hwnd == nullptr) return;
  // Back to the first row before the rows go: a list whose redraw is off (a refill) keeps its scroll
  // position through LVM_DELETEALLITEMS under Wine, and the new rows would then be drawn from that old
  // position, stale rows and a half row at the top, until the user scrolled.
  if (SendMessageW(hwnd, LVM_GETTOPINDEX, 0, 0) > 0) SendMessageW(hwnd, LVM_ENSUREVISIBLE, 0, FALSE);
  SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0);
}

int Win32Gui::AddRow(int list, const std::vector<Text>& columns, bool checked) {
  HWND hwnd = ControlOfKind(list, ControlKind::ListView);
  return hwnd == nullptr ? -1 : win32::InsertRow(hwnd, columns, checked);
}

void Win32Gui::SetRowTexts(int list, int row, const std::vector<Text>& columns) {
  if (HWND hwnd = ControlOfKind(list, ControlKind::ListView)) win32::SetRowTexts(hwnd, row, columns);
}

Text Win32Gui::RowText(int list, int row, int column) {
  HWND hwnd = ControlOfKind(list, ControlKind::ListView);
  return hwnd == nullptr ? Text() : win32::CellText(hwnd, row, column);
}

int Win32Gui::RowCount(int list) {
  HWND hwnd = ControlOfKind(list, ControlKind::ListView);
  return hwnd == nullptr ? 0 : win32::RowCount(hwnd);
}

int Win32Gui::SelectedRow(int list) {
  HWND hwnd = ControlOfKind(list, ControlKind::ListView);
  return hwnd == nullptr ? -1 : win32::SelectedRow(hwnd);
}

void Win32Gui::SetRowState(int list, int row, bool selected, bool checked) {
  if (HWND hwnd = ControlOfKind(list, ControlKind::ListView)) win32::SetRowState(hwnd, row, selected, checked);
}

bool Win32Gui::IsRowChecked(int list, int row) {
  HWND hwnd = ControlOfKind(list, ControlKind::ListView);
  return hwnd != nullptr && row >= 0 && row < win32::RowCount(hwnd) &&
         win32::RowStateImage(hwnd, row) == kStateImageChecked;
}

void Win32Gui::SelectRow(int list, int row) {
  if (HWND hwnd = ControlOfKind(list, ControlKind::ListView)) win32::SelectOnly(hwnd, row);
}

void Win32Gui::SetFocus(int control) {
  if (const ControlState* state = FindControl(control)) ::SetFocus(state->hwnd);
}

void Win32Gui::ScrollToRow(int list, int row) {
  HWND hwnd = ControlOfKind(list, ControlKind::ListView);
  if (hwnd == nullptr || row < 0 || row >= ListView_GetItemCount(hwnd)) return;
  ListView_EnsureVisible(hwnd, row, FALSE);
}

void Win32Gui::SetStatusText(int field, const Text& text) {
  HWND bar = StatusBarHandle(mainWindow_);
  if (bar == nullptr || field < 0) return;
  const std::wstring wide = win32::ToWide(text);
  SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(wide.c_str()));
}

Text Win32Gui::GetStatusText(int field) {
  HWND bar = StatusBarHandle(mainWindow_);
  if (bar == nullptr || field < 0) return {};
  // The low word of SB_GETTEXTLENGTH is the length in characters.
  const auto length =
      static_cast<std::size_t>(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(field), 0) & 0xFFFF);
  std::wstring text(length + 1, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return win32::FromWide(text);
}

void Win32Gui::SetStatusProgress(int done, int total) {
  const WindowState* state = FindWindowState(mainWindow_);
  if (state == nullptr || state->progress == nullptr) return;
  // The range follows the total, so the bar moves by whole functions however many there are.
  SendMessageW(state->progress, PBM_SETRANGE32, 0, total > 0 ? total : 1);
  SendMessageW(state->progress, PBM_SETPOS, static_cast<WPARAM>(total > 0 ? std::clamp(done, 0, total) : 0), 0);
}

void Win32Gui::ShowOptionsMenu() {
  HMENU menu = OptionsMenuHandle(mainWindow_);
  if (menu == nullptr) return;
  if (const int item = win32::TrackOptionsMenu(menu, WindowHandle(mainWindow_)); item != 0) {
    PushUserEvent({kEventMenu, mainWindow_, item, 0, {}});
  }
}

void Win32Gui::SetMenuChecked(int item, bool checked) {
  if (HMENU menu = OptionsMenuHandle(mainWindow_)) {
    CheckMenuItem(menu, static_cast<UINT>(item),
                  static_cast<UINT>(MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)));
  }
}

bool Win32Gui::IsMenuChecked(int item) {
  HMENU menu = OptionsMenuHandle(mainWindow_);
  if (menu == nullptr) return false;
  const UINT state = GetMenuState(menu, static_cast<UINT>(item), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

}  // namespace korvane
