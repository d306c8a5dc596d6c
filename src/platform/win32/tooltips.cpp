// One tooltip control per window, with a tool for each control that has a tip.
#include "platform/win32/win32_controls.h"

namespace korvane::win32 {
namespace {

bool AddTool(HWND tooltip, const Tool& tool, UINT size) {
  std::wstring text = tool.text;
  TTTOOLINFOW info{};
  info.cbSize = size;
  // The tool is the control's window; TTF_SUBCLASS lets the tooltip watch the mouse over it by itself.
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(tool.control);  // the window the tool's notifications go to
  info.uId = reinterpret_cast<UINT_PTR>(tool.control);
  info.lpszText = text.data();
  return SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

}  // namespace

HWND CreateTooltips(HWND window, const std::vector<Tool>& tools) {
  HWND tooltip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, ModuleInstance(), nullptr);
  if (tooltip == nullptr) return nullptr;
  for (const Tool& tool : tools) {
    if (tool.control == nullptr) continue;
    // Version 5 of the common controls (no manifest) refuses the newer, longer TOOLINFO that our headers
    // declare; it takes the older size, which holds every field used here.
    if (!AddTool(tooltip, tool, sizeof(TTTOOLINFOW))) AddTool(tooltip, tool, TTTOOLINFOW_V2_SIZE);
  }
  return tooltip;
}

}  // namespace korvane::win32
