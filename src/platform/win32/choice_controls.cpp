// Labels, drop-down lists, check boxes and option buttons.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_controls.h"

namespace korvane::win32 {
namespace {

// How many items the open list shows before it scrolls.
constexpr int kVisibleItems = 8;

}  // namespace

HWND CreateLabel(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  // SS_NOPREFIX: an ampersand in the text is shown as it is. One line, clipped at the right edge rather
  // than wrapped under the control beside it.
  return CreateChild(0, WC_STATICW, ToWide(control.text), CommonStyle(control) | SS_LEFTNOWORDWRAP | SS_NOPREFIX, rect, parent,
                     control.number, font);
}

HWND CreateComboBox(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  // The height given at creation is that of the closed box plus its open list; the closed box then gets
  // the described height by setting the height of its selection field.
  Rect withList = rect;
  withList.height = rect.height * (kVisibleItems + 1);
  const DWORD style = CommonStyle(control) | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
  HWND combo = CreateChild(0, WC_COMBOBOXW, L"", style, withList, parent, control.number, font);
  if (combo == nullptr) return nullptr;
  // The closed box is its selection field plus a frame whose size the system decides: set the field,
  // measure, and correct once by what is still off.
  for (int attempt = 0; attempt < 2; ++attempt) {
    RECT closed{};
    GetWindowRect(combo, &closed);
    const LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    const int wanted = static_cast<int>(field) + rect.height - (closed.bottom - closed.top);
    if (field == CB_ERR || wanted == field || wanted <= 0) break;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
  }
  if (!control.text.empty()) SetWindowTextW(combo, ToWide(control.text).c_str());
  return combo;
}

HWND CreateCheckButton(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  // The automatic kinds switch themselves on a click, and an option clears the others of its group.
  DWORD style = CommonStyle(control) | WS_TABSTOP;
  if (control.kind == ControlKind::OptionButton) {
    style |= BS_AUTORADIOBUTTON;
    if ((control.style & kStyleGroupStart) != 0) style |= WS_GROUP;
  } else {
    style |= BS_AUTOCHECKBOX;
  }
  HWND button = CreateChild(0, WC_BUTTONW, ToWide(control.text), style, rect, parent, control.number, font);
  if (button != nullptr && control.checked) SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
  return button;
}

}  // namespace korvane::win32
