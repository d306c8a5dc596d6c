// The options popup menu of a window.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_controls.h"

namespace korvane::win32 {

HMENU CreateOptionsMenu(const std::vector<MenuItem>& items) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const MenuItem& item : items) {
    const std::wstring text = ToWide(item.text);
    const auto flags = static_cast<UINT>(MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED));
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.number), text.c_str());
  }
  return menu;
}

int TrackOptionsMenu(HMENU menu, HWND owner) {
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the owner in the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  // TPM_RETURNCMD hands the choice back here instead of sending WM_COMMAND: menu item numbers share
  // the range of control ids (item 1 is also button 1's id), so a WM_COMMAND could not tell them apart.
  const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN, cursor.x,
                                     cursor.y, 0, owner, nullptr);
  // The posted message lets the menu's modal loop end cleanly when it was closed from outside.
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

}  // namespace korvane::win32
