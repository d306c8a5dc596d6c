#pragma once
// The user interface on real Win32 windows. Windows and controls are built from their descriptions;
// window messages are turned into the neutral events of platform/events.h and queued here. The class
// translates and does not decide: what an event means is the program's business.

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gui.h"
#include "platform/page_source.h"

struct IWebBrowser2;

namespace korvane {

class PageSource;

namespace win32 {
class BrowserHost;
class BrowserPageSource;
class FileDropTarget;
}

class Win32Gui final : public Gui {
 public:
  // Reads the screen's pixels per inch once. The process must have declared itself aware of the
  // screen resolution (SetProcessDPIAware) before, or Windows reports 96 whatever the screen is.
  // Must be created on the thread that runs the event loop.
  Win32Gui();
  ~Win32Gui() override;
  Win32Gui(const Win32Gui&) = delete;
  Win32Gui& operator=(const Win32Gui&) = delete;

  Scale ScreenScale() override { return scale_; }

  void BuildWindow(const WindowDescription& window) override;
  void ShowWindow(int window, bool visible) override;
  void EnableWindow(int window, bool enabled) override;
  void CentreWindow(int window) override;
  Size InnerSize(int window) override;
  int StatusBarHeight(int window) override;
  void FreezeDrawing(int window, bool frozen) override;
  void SetSizeHandler(std::function<void()> handler) override { sizeHandler_ = std::move(handler); }

  Event WaitEvent() override;
  void QueueEvent(const Event& event) override;
  void Invoke(const std::function<void()>& work) override;

  void SetText(int control, const Text& text) override;
  Text GetText(int control) override;
  void SetEnabled(int control, bool enabled) override;
  bool IsEnabled(int control) override;
  void SetVisible(int control, bool visible) override;
  void RaiseControl(int control) override;
  bool IsVisible(int control) override;
  void SetFocus(int control) override;
  Rect GetRect(int control) override;
  void SetRect(int control, const Rect& rect) override;

  int AddItem(int combo, const Text& text) override;
  void ClearItems(int combo) override;
  int ItemCount(int combo) override;
  Text ItemText(int combo, int item) override;
  void SelectItem(int combo, int item) override;
  int SelectedItem(int combo) override;
  void SetChecked(int control, bool checked) override;
  bool IsChecked(int control) override;

  void ClearRows(int list) override;
  int AddRow(int list, const std::vector<Text>& columns, bool checked) override;
  void SetRowTexts(int list, int row, const std::vector<Text>& columns) override;
  Text RowText(int list, int row, int column) override;
  int RowCount(int list) override;
  int SelectedRow(int list) override;
  void SetRowState(int list, int row, bool selected, bool checked) override;
  bool IsRowChecked(int list, int row) override;
  void SelectRow(int list, int row) override;
  void ScrollToRow(int list, int row) override;
  void SetCheckBoxHook(CheckBoxHook hook) override { hook_ = std::move(hook); }

  void SetStatusText(int field, const Text& text) override;
  void SetStatusWidths(const std::vector<int>& widths) override;
  Text GetStatusText(int field) override;
  void SetStatusProgress(int done, int total) override;

  void ShowOptionsMenu() override;
  void SetMenuChecked(int item, bool checked) override;
  bool IsMenuChecked(int item) override;

  MessageBoxAnswer ShowMessage(int window, const Text& caption, const Text& text, MessageBoxKind kind,
                               MessageBoxIcon icon) override;
  void SetTooltip(int control, const Text& text) override;

  // Win32 handles of what was built (nullptr when absent), for dialog owners and for tests.
  HWND WindowHandle(int window) const;
  HWND ControlHandle(int control) const;
  HWND StatusBarHandle(int window) const;
  HWND TooltipHandle(int window) const;
  HMENU OptionsMenuHandle(int window) const;
  // The WebBrowser object embedded in a browser control; nullptr when it could not be created there.
  IWebBrowser2* Browser(int control) const;
  // The browser control as the lookup's page source, reporting the end of each load to `onLoad` (given
  // on the first call; later calls answer the same source). The first call waits until the control has
  // completed its start page; nullptr when the control could not be created or its start page did not
  // complete (no HTML engine): the program then reads pages another way.
  PageSource* BrowserPageSource(PageLoadHandler onLoad);
  // Runs `work` on the user-interface thread inside a later WaitEvent, before it looks for the next
  // event: for notifications whose meaning is only known once the call that raised them has returned.
  void Defer(std::function<void()> work);

 private:
  struct WindowState {
    Win32Gui* owner = nullptr;
    int number = 0;
    HWND hwnd = nullptr;
    HWND statusBar = nullptr;
    HWND progress = nullptr;
    HWND tooltip = nullptr;
    HMENU optionsMenu = nullptr;
    std::vector<int> statusWidths;  // pixels; -1 takes what remains
    Size minimumInner;              // pixels; 0: no minimum
    DWORD style = 0, exStyle = 0;
    int freezeDepth = 0;
    bool redrawSuspended = false;
    // List views whose own drawing is off while the window is frozen, with the visibility each should
    // have when it is thawed (see FreezeDrawing).
    std::map<int, bool> frozenLists;
    bool built = false;  // every control exists: size changes may run the size handler
    win32::FileDropTarget* dropTarget = nullptr;
  };
  struct ControlState {
    HWND hwnd = nullptr;
    ControlKind kind = ControlKind::PushButton;
    int window = 0;
    int optionGroup = -1;  // option buttons: the first button of the group
  };

  // window_builder.cpp
  HWND CreateFrame(WindowState& state, const WindowDescription& window);
  void CreateControls(WindowState& state, const WindowDescription& window);
  HWND CreateControl(const ControlDescription& control, HWND parent, Size parentInner);
  void AttachTooltips(WindowState& state, const WindowDescription& window);
  void AcceptFileDrops(WindowState& state);

  // window_messages.cpp
  static LRESULT CALLBACK FrameProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleFrameMessage(WindowState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int window, WPARAM wParam, LPARAM lParam);
  void OnNotify(int window, const NMHDR& header);
  void OnListItemChanged(int window, int list, const NMLISTVIEW& change);
  void OnSize(WindowState& state, WPARAM kind);
  void OnMinMaxInfo(const WindowState& state, MINMAXINFO& info) const;

  // event_queue.cpp
  static LRESULT CALLBACK PumpProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreatePumpWindow();
  void RunDeferred();
  void PushUserEvent(const Event& event);
  bool PopEvent(Event& event);
  void DispatchPendingMessages();
  void DispatchOne(MSG& message);

  void FreezeLists(WindowState& state);
  void ThawLists(WindowState& state);
  bool* FrozenListVisibility(int control);

  WindowState* FindWindowState(int window) const;
  const ControlState* FindControl(int control) const;
  HWND ControlOfKind(int control, ControlKind kind) const;
  void ReleaseWindow(WindowState& state);

  Scale scale_;
  DWORD uiThread_ = 0;
  HFONT font_ = nullptr;
  std::vector<HBITMAP> bitmaps_;
  HWND pump_ = nullptr;
  std::map<int, std::unique_ptr<WindowState>> windows_;
  std::map<int, ControlState> controls_;
  std::map<HWND, int> controlNumbers_;
  std::map<int, std::unique_ptr<win32::BrowserHost>> browsers_;  // by control number
  std::unique_ptr<win32::BrowserPageSource> pageSource_;        // goes before the browsers
  bool pageSourceTried_ = false;
  int mainWindow_ = 0;  // the window described as the main one
  std::mutex queueMutex_;
  std::deque<std::function<void()>> deferred_;
  std::deque<Event> userEvents_;     // raised by the windows, in the order Windows delivered them
  std::deque<Event> programEvents_;  // queued by the program; they come after the user's
  CheckBoxHook hook_;
  std::function<void()> sizeHandler_;
  bool quitReceived_ = false;
  // An exception thrown by the program's code inside a window procedure cannot cross Windows' stack
  // frames; it is kept here and thrown again by WaitEvent, on the program's side of the loop.
  std::exception_ptr pendingError_;
};

}  // namespace korvane
