#pragma once
// The in-memory user interface: every control's state is kept here, the notifications Windows raises
// are raised the same way (a row state change reaches the check-box hook at once, a selection change
// of a list queues its 768 event, a size change runs the size handler), and tests act as the user.

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/gui.h"

namespace korvane {

struct HeadlessRow {
  std::vector<Text> columns;
  bool selected = false;
  bool checked = false;
};

struct HeadlessControl {
  ControlDescription description;
  Text text;
  bool enabled = true;
  bool visible = true;
  Rect rect;
  int window = 0;
  std::vector<HeadlessRow> rows;  // list views
  std::vector<Text> items;        // drop-down lists
  int selectedItem = -1;          // drop-down lists
  bool checked = false;           // check boxes and option buttons
  int optionGroup = -1;           // option buttons: the first button of the group
};

struct RecordedMessage {
  int window = 0;  // the owner
  Text caption, text;
  MessageBoxKind kind;
  MessageBoxIcon icon = MessageBoxIcon::None;
};

class HeadlessGui final : public Gui {
 public:
  explicit HeadlessGui(Scale scale = {}, int statusBarHeight = 22) : scale_(scale), statusBarHeight_(statusBarHeight) {}

  // --- what a user does -------------------------------------------------------------------------
  // The event comes from the control's own window. A click on a check box toggles it and a click on an
  // option selects it before the event arrives, as on Windows.
  void Click(int control, int type = kTypeClick);
  // The menu, the drops and Close without a window belong to the main window.
  void ChooseMenuItem(int item) { QueueEvent({kEventMenu, mainWindow_, item, 0, {}}); }
  void Close() { Close(mainWindow_); }
  void Close(int window) { QueueEvent({kEventCloseWindow, window, -1, 0, {}}); }
  void DropFiles(const Text& files) { QueueEvent({kEventFilesDropped, mainWindow_, -1, 0, files}); }
  // Clicks a row's check box: its state image changes, the hook sees it at once.
  void ClickCheckBox(int list, int row);
  // Clicks a row; -1 (empty space below the rows) clears the selection, as in a Windows list view.
  // Selection changes raise their events as Windows does.
  void ClickRow(int list, int row);
  // Resizes the main window's client area; the size handler runs at once.
  void Resize(Size inner);
  // Runs on the loop's thread after each piece of another thread's Invoke work, before anything else:
  // the user acting between two steps of a worker. Empty: nothing.
  void SetBetweenInvokes(std::function<void()> act) { betweenInvokes_ = std::move(act); }
  // The answer the next message box gets (default: Ok, or No for questions).
  void AnswerNextMessage(MessageBoxAnswer answer) { answers_.push_back(answer); }

  // --- what a test reads ------------------------------------------------------------------------
  const HeadlessControl& Control(int number) const { return controls_.at(number); }
  const std::vector<RecordedMessage>& Messages() const { return messages_; }
  bool WindowVisible(int window) const { return windows_.count(window) != 0 && windows_.at(window).visible; }
  bool WindowEnabled(int window) const { return windows_.count(window) != 0 && windows_.at(window).enabled; }
  // How often the window was centred on the screen.
  int TimesCentred(int window) const { return windows_.count(window) != 0 ? windows_.at(window).centred : 0; }
  int FreezeDepth() const { return freezeDepth_; }
  // Rows added while the window's drawing was not frozen: each would be drawn on its own.
  int RowsAddedUnfrozen() const { return rowsAddedUnfrozen_; }
  int MenuShownCount() const { return menuShown_; }
  // The status bar's progress bar: done, total.
  std::pair<int, int> StatusProgress() const { return progress_; }
  // Read on the loop's thread only, while no other thread queues.
  const std::deque<Event>& PendingEvents() const { return events_; }
  // By default a WaitEvent with nothing to do answers that the user closed the main window, so a test's
  // loop always ends. A test with a worker thread turns that off: WaitEvent then blocks, as on Windows,
  // until an event is queued or another thread's Invoke arrives.
  void SetCloseWhenIdle(bool close);
  // The close that WaitEvent gives when nothing is queued carries this type: no user asked for it.
  static constexpr int kIdleCloseType = -13116;
  static bool IsIdleClose(const Event& event) {
    return event.kind == kEventCloseWindow && event.type == kIdleCloseType;
  }
  bool HookAttached() const { return static_cast<bool>(hook_); }
  // The row a list was last scrolled to; -1 when never.
  int ScrolledTo(int list) const { return scrolledTo_.count(list) != 0 ? scrolledTo_.at(list) : -1; }

  // --- Gui --------------------------------------------------------------------------------------
  Scale ScreenScale() override { return scale_; }
  void BuildWindow(const WindowDescription& window) override;
  void ShowWindow(int window, bool visible) override { windows_[window].visible = visible; }
  void EnableWindow(int window, bool enabled) override { windows_[window].enabled = enabled; }
  void CentreWindow(int window) override { ++windows_[window].centred; }
  Size InnerSize(int window) override { return windows_[window].inner; }
  int StatusBarHeight(int window) override { return windows_[window].hasStatusBar ? statusBarHeight_ : 0; }
  void FreezeDrawing(int window, bool frozen) override;
  void SetSizeHandler(std::function<void()> handler) override { sizeHandler_ = std::move(handler); }
  // With nothing left to do the user closes the window, so a test's loop always ends.
  // WaitEvent also runs the work of other threads' Invoke calls, in the order they came.
  Event WaitEvent() override;
  void QueueEvent(const Event& event) override;  // from any thread
  // On the thread that created the gui the work runs at once; from any other thread it is handed to the
  // loop's WaitEvent and the call returns when it has run.
  void Invoke(const std::function<void()>& work) override;

  // Like a Windows one-line edit control, a one-line field reports every text set as a change.
  void SetText(int control, const Text& text) override;
  Text GetText(int control) override { return controls_.at(control).text; }
  void SetEnabled(int control, bool enabled) override { controls_.at(control).enabled = enabled; }
  bool IsEnabled(int control) override { return controls_.at(control).enabled; }
  void SetVisible(int control, bool visible) override { controls_.at(control).visible = visible; }
  bool IsVisible(int control) override { return controls_.at(control).visible; }
  void RaiseControl(int control) override;
  // The controls raised so far, in order: the last is on top of its siblings.
  const std::vector<int>& Raised() const { return raised_; }
  void SetFocus(int control) override { focus_ = control; }
  int Focused() const { return focus_; }  // -1 when no control was given the focus
  Rect GetRect(int control) override { return controls_.at(control).rect; }
  void SetRect(int control, const Rect& rect) override { controls_.at(control).rect = rect; }

  int AddItem(int combo, const Text& text) override;
  void ClearItems(int combo) override;
  int ItemCount(int combo) override { return static_cast<int>(controls_.at(combo).items.size()); }
  Text ItemText(int combo, int item) override;
  void SelectItem(int combo, int item) override;
  int SelectedItem(int combo) override { return controls_.at(combo).selectedItem; }
  void SetChecked(int control, bool checked) override;
  bool IsChecked(int control) override { return controls_.at(control).checked; }

  void ClearRows(int list) override { controls_.at(list).rows.clear(); }
  int AddRow(int list, const std::vector<Text>& columns, bool checked) override;
  void SetRowTexts(int list, int row, const std::vector<Text>& columns) override;
  Text RowText(int list, int row, int column) override;
  int RowCount(int list) override { return static_cast<int>(controls_.at(list).rows.size()); }
  int SelectedRow(int list) override;
  void SetRowState(int list, int row, bool selected, bool checked) override;
  bool IsRowChecked(int list, int row) override;
  void SelectRow(int list, int row) override;
  void ScrollToRow(int list, int row) override { scrolledTo_[list] = row; }
  void SetCheckBoxHook(CheckBoxHook hook) override { hook_ = std::move(hook); }

  void SetStatusText(int field, const Text& text) override { status_[field] = text; }
  void SetStatusWidths(const std::vector<int>& widths) override { statusWidths_ = widths; }
  const std::vector<int>& StatusWidths() const { return statusWidths_; }
  Text GetStatusText(int field) override { return status_[field]; }
  void SetStatusProgress(int done, int total) override { progress_ = {done, total}; }
  void ShowOptionsMenu() override { ++menuShown_; }
  void SetMenuChecked(int item, bool checked) override { menu_[item] = checked; }
  bool IsMenuChecked(int item) override { return menu_[item]; }
  MessageBoxAnswer ShowMessage(int window, const Text& caption, const Text& text, MessageBoxKind kind,
                               MessageBoxIcon icon) override;
  // Kept in the control's description, where a test reads it.
  void SetTooltip(int control, const Text& text) override {
    const auto found = controls_.find(control);
    if (found != controls_.end() && !found->second.description.tooltip.empty()) found->second.description.tooltip = text;
  }

 private:
  struct WindowState {
    Size inner;
    bool visible = false;
    bool enabled = true;
    bool hasStatusBar = false;
    int centred = 0;
  };

  // Applies a row's new state and raises what Windows raises: the hook with the new state image, and
  // a selection-changed event when the selected bit changed.
  void ChangeRowState(int list, int row, bool selected, bool checked);
  HeadlessRow* Row(int list, int row);
  int WindowOf(int control) const;
  struct InvokeRequest {
    const std::function<void()>* work = nullptr;
    bool done = false;
    std::exception_ptr error;
  };
  // Runs the queued Invoke work; `lock` holds mutex_ and is released while each piece runs.
  void RunInvokes(std::unique_lock<std::mutex>& lock);

  Scale scale_;
  int statusBarHeight_;
  std::map<int, WindowState> windows_;
  int mainWindow_ = 0;  // the window described as the main one
  std::map<int, HeadlessControl> controls_;
  std::map<int, Text> status_;
  std::vector<int> statusWidths_;
  std::map<int, bool> menu_;
  // The event and Invoke queues are shared with other threads; everything else belongs to the loop's.
  std::mutex mutex_;
  std::condition_variable queued_;   // an event or an Invoke arrived
  std::condition_variable invoked_;  // a piece of Invoke work has run
  std::deque<Event> events_;
  std::deque<InvokeRequest*> invokes_;
  const std::thread::id loopThread_ = std::this_thread::get_id();
  bool closeWhenIdle_ = true;
  std::deque<MessageBoxAnswer> answers_;
  std::vector<RecordedMessage> messages_;
  CheckBoxHook hook_;
  std::function<void()> sizeHandler_;
  std::function<void()> betweenInvokes_;
  int freezeDepth_ = 0;
  int rowsAddedUnfrozen_ = 0;
  int menuShown_ = 0;
  std::pair<int, int> progress_{0, 0};
  std::map<int, int> scrolledTo_;
  int focus_ = -1;
  std::vector<int> raised_;
};

}  // namespace korvane
