// One-line and multi-line text fields.
#include "platform/win32/win32_controls.h"
#include "platform/win32/wide_text.h"

namespace korvane::win32 {
namespace {

// The multi-line field's style value, kept exactly: multi-line, vertical auto-scroll and both alignment
// bits. Together with ES_AUTOHSCROLL (below) the lines scroll sideways instead of wrapping.
constexpr DWORD kMultiLineStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_RIGHT | ES_CENTER;
static_assert(kMultiLineStyle == 0x47);

constexpr UINT_PTR kFieldSubclassId = 1;

bool IsKey(const MSG* message, WPARAM key) {
  return message != nullptr && (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
         message->wParam == key;
}

// Keys that an edit control would turn against its window. Escape: a multi-line edit posts WM_CLOSE
// to its parent (the detail panel, which DefWindowProc would destroy) and a one-line edit sends
// IDCANCEL, which is one of our control numbers; Escape does nothing in our fields. Tab: a multi-line
// edit asks for every key and then hands Tab to a parent that is no dialog, so focus stayed put; it
// now leaves Tab to the dialog keys, which move to the next or previous control as in every field.
LRESULT CALLBACK FieldProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      if (wParam == VK_ESCAPE) return 0;
      break;
    case WM_GETDLGCODE: {
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      const LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
      if (IsKey(key, VK_TAB) || IsKey(key, VK_ESCAPE)) {
        return code & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
      }
      return code;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, FieldProcedure, kFieldSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

HWND CreateTextField(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  // Every field scrolls sideways as the user types. A disabled field is the read-only display of a value.
  DWORD style = CommonStyle(control) | WS_TABSTOP | ES_AUTOHSCROLL;
  if (control.kind == ControlKind::MultiLineField) {
    style |= kMultiLineStyle;
  } else if ((control.style & kStyleTextCentered) != 0) {
    style |= ES_CENTER;
  }
  HWND field = CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, ToWide(control.text), style, rect, parent, control.number, font);
  if (field != nullptr) SetWindowSubclass(field, FieldProcedure, kFieldSubclassId, 0);
  return field;
}

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

}  // namespace korvane::win32
