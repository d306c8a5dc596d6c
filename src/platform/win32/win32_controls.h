#pragma once
// The pieces the Win32 user interface is built from: one creation function per control kind, the
// window classes of our own, and the list view and status bar operations. Internal to platform/win32.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/gui.h"
#include "platform/window_description.h"

namespace korvane::win32 {

// Window classes registered by this module.
inline constexpr wchar_t kFrameClass[] = L"KorvaneWindow";
inline constexpr wchar_t kPanelClass[] = L"KorvanePanel";
inline constexpr wchar_t kBrowserHostClass[] = L"KorvaneBrowserHost";
inline constexpr wchar_t kPumpClass[] = L"KorvaneEventPump";

// Private messages of the pump window.
inline constexpr UINT kWakeMessage = WM_APP;        // an event was queued: WaitEvent looks again
inline constexpr UINT kInvokeMessage = WM_APP + 1;  // lParam: the request of another thread's Invoke

// The control id of a status bar. Control ids are the controls' numbers, and the status bar's own
// number (1) is also a button's, so the bar gets an id that no control table uses.
inline constexpr int kStatusBarId = 0xE801;

HINSTANCE ModuleInstance();
// Registers a window class of this module unless it exists already (classes outlive the objects that
// registered them). `background` is a system colour index (COLOR_BTNFACE), or -1 for none.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, int background);

// A child window at `rect` (pixels, relative to `parent`) with the control font.
HWND CreateChild(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style, const Rect& rect,
                 HWND parent, int id, HFONT font);
// The outer size of a top-level window (without menu bar) whose client area is `inner`.
SIZE OuterSize(Size inner, DWORD style, DWORD exStyle);
// The work area (the screen without the task bar) of the monitor that holds `window`; of the primary
// monitor for nullptr.
RECT WorkArea(HWND window);
// The styles every control of a table gets: child, visible unless hidden, disabled when so described.
DWORD CommonStyle(const ControlDescription& control);

// button.cpp
HWND CreatePushButton(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font);
HWND CreatePictureButton(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font, HBITMAP picture);
// picture_bitmap.cpp: the donation picture as a 24-bit bitmap at its own pixel size; nullptr when it
// cannot be decoded. The caller owns it.
HBITMAP MakeDonationBitmap();

// text_field.cpp
HWND CreateTextField(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font);
std::wstring WindowText(HWND hwnd);

// choice_controls.cpp
HWND CreateLabel(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font);
HWND CreateComboBox(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font);
// Check boxes and option buttons.
HWND CreateCheckButton(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font);

// panel.cpp
HWND CreatePanel(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font);
HWND CreateBrowserHost(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font);

// list_view.cpp
HWND CreateListView(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font, Scale scale);
// list_rows.cpp
int InsertRow(HWND list, const std::vector<Text>& columns, bool checked);
void SetRowTexts(HWND list, int row, const std::vector<Text>& columns);
Text CellText(HWND list, int row, int column);
int RowCount(HWND list);
int SelectedRow(HWND list);
void SetRowState(HWND list, int row, bool selected, bool checked);
int RowStateImage(HWND list, int row);
// Selects `row` alone; -1 (or a row that does not exist) leaves no row selected.
void SelectOnly(HWND list, int row);

// status_bar.cpp
struct StatusBar {
  HWND bar = nullptr;
  HWND progress = nullptr;  // in field 0
};
// `widths` in pixels, -1 for the field that takes what remains.
StatusBar CreateStatusBar(HWND window, const std::vector<StatusField>& fields, const std::vector<int>& widths,
                          bool sizeGrip, HFONT font);
// Sets the fields' right edges for the window's present width and moves the progress bar into field 0.
void LayoutStatusBar(const StatusBar& bar, const std::vector<int>& widths);
// The fields' right edges for a bar `barWidth` pixels wide; the last field reaches the right edge (-1).
std::vector<int> StatusFieldEdges(const std::vector<int>& widths, int barWidth);

// tooltips.cpp
struct Tool {
  HWND control = nullptr;
  std::wstring text;
};
HWND CreateTooltips(HWND window, const std::vector<Tool>& tools);

// options_menu.cpp
HMENU CreateOptionsMenu(const std::vector<MenuItem>& items);
// Shows the menu at the mouse position and returns the chosen item, or 0 when none was chosen.
int TrackOptionsMenu(HMENU menu, HWND owner);

}  // namespace korvane::win32
