// One-line and multi-line text fields.
#include "platform/win32/win32_controls.h"
#include "platform/win32/wide_text.h"

namespace korvane::win32 {
namespace {

// The multi-line field's style value, kept exactly: multi-line, vertical auto-scroll and both alignment
// bits. Together with ES_AUTOHSCROLL (below) the lines scroll sideways instead of wrapping.
constexpr DWORD kMultiLineStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_RIGHT | ES_CENTER;
static_assert(kMultiLineStyle == 0x47);

}  // namespace

HWND CreateTextField(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  // Every field scrolls sideways as the user types. A disabled field is the read-only display of a value.
  DWORD style = CommonStyle(control) | WS_TABSTOP | ES_AUTOHSCROLL;
  if (control.kind == ControlKind::MultiLineField) {
    style |= kMultiLineStyle;
  } else if ((control.style & kStyleTextCentered) != 0) {
    style |= ES_CENTER;
  }
  return CreateChild(WS_EX_CLIENTEDGE, WC_EDITW, ToWide(control.text), style, rect, parent, control.number, font);
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
