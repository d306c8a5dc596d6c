// Window classes of this module and the creation of child windows with the control font.
#include "platform/win32/win32_controls.h"

namespace korvane::win32 {
namespace {

// MAKEINTRESOURCEW is a C-style cast inside a macro; this is the same conversion spelled in C++.
LPCWSTR IntResource(WORD id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(id)); }

constexpr WORD kArrowCursor = 32512;  // IDC_ARROW

}  // namespace

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, int background) {
  WNDCLASSEXW windowClass{};
  if (GetClassInfoExW(ModuleInstance(), name, &windowClass)) return;
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, IntResource(kArrowCursor));
  // A system colour index + 1 stands for that colour's brush in a window class.
  windowClass.hbrBackground = background < 0 ? nullptr : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background) + 1);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

HWND CreateChild(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style, const Rect& rect,
                 HWND parent, int id, HFONT font) {
  // A child window's "menu" is its control id.
  HMENU idAsMenu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  HWND hwnd = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, rect.x, rect.y,
                              rect.width < 0 ? 0 : rect.width, rect.height < 0 ? 0 : rect.height, parent, idAsMenu,
                              ModuleInstance(), nullptr);
  if (hwnd != nullptr && font != nullptr) {
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return hwnd;
}

SIZE OuterSize(Size inner, DWORD style, DWORD exStyle) {
  RECT rect{0, 0, inner.width, inner.height};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT WorkArea(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
  if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return screen;
}

DWORD CommonStyle(const ControlDescription& control) {
  DWORD style = WS_CHILD;
  if (control.visible) style |= WS_VISIBLE;
  if (!control.enabled) style |= WS_DISABLED;
  return style;
}

}  // namespace korvane::win32
