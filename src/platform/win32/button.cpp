// Push buttons and the picture button.
#include "platform/win32/win32_controls.h"
#include "platform/win32/wide_text.h"

namespace korvane::win32 {
namespace {

DWORD TextPlacement(unsigned style) {
  // BS_VCENTER is BS_TOP | BS_BOTTOM, so it is tested first.
  if ((style & kStyleTextVCenter) != 0) return BS_VCENTER;
  if ((style & kStyleTextBottom) != 0) return BS_BOTTOM;
  return 0;
}

}  // namespace

HWND CreatePushButton(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font) {
  const DWORD style = CommonStyle(control) | WS_TABSTOP | BS_PUSHBUTTON | TextPlacement(control.style);
  return CreateChild(0, WC_BUTTONW, ToWide(control.text), style, rect, parent, control.number, font);
}

HWND CreatePictureButton(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font,
                         HBITMAP picture) {
  const DWORD style = CommonStyle(control) | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP;
  HWND button = CreateChild(0, WC_BUTTONW, ToWide(control.text), style, rect, parent, control.number, font);
  // The button draws the bitmap centred at its own pixel size; it does not take ownership.
  if (button != nullptr && picture != nullptr) {
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  }
  return button;
}

}  // namespace korvane::win32
