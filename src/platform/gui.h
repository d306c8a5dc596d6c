#pragma once
// The user interface as the program's logic sees it: windows built from their descriptions, controls
// addressed by their numbers, and neutral events. Implemented by the Win32 backend (the real program)
// and the headless backend (tests).

#include <functional>
#include <vector>

#include "platform/events.h"
#include "platform/scale.h"
#include "platform/window_description.h"
#include "text/text.h"

namespace korvane {

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

enum class MessageBoxKind { Ok, YesNo, YesNoCancel };
enum class MessageBoxIcon { None, Information, Question, Error };
enum class MessageBoxAnswer { Ok, Yes, No, Cancel };

// Receives every row state change of a list view as it happens: the list, the row (from 0) and the
// row's new state image (1 box cleared, 2 box ticked, 0 none).
using CheckBoxHook = std::function<void(int list, int row, int stateImage)>;

class Gui {
 public:
  virtual ~Gui() = default;

  // The screen's scale factors, read once at start-up.
  virtual Scale ScreenScale() = 0;

  // Windows.
  virtual void BuildWindow(const WindowDescription& window) = 0;  // hidden until ShowWindow
  // Showing a window also activates it.
  virtual void ShowWindow(int window, bool visible) = 0;
  virtual void EnableWindow(int window, bool enabled) = 0;
  // Moves a window to the middle of the screen, keeping its size.
  virtual void CentreWindow(int window) = 0;
  virtual Size InnerSize(int window) = 0;        // client area in pixels
  virtual int StatusBarHeight(int window) = 0;   // pixels; 0 without a status bar
  // Suspends drawing of a window while it is refilled; the last unfreeze repaints it.
  virtual void FreezeDrawing(int window, bool frozen) = 0;

  // Runs on every size change of the main window as it happens, also while the user drags its border
  // (when the loop is not receiving events). An empty function detaches it.
  virtual void SetSizeHandler(std::function<void()> handler) = 0;

  // Events. WaitEvent blocks until the next event; queued events arrive after the user's pending ones.
  virtual Event WaitEvent() = 0;
  virtual void QueueEvent(const Event& event) = 0;
  // Runs `work` on the user-interface thread and waits for it (called from a worker thread).
  virtual void Invoke(const std::function<void()>& work) = 0;

  // Controls.
  virtual void SetText(int control, const Text& text) = 0;
  virtual Text GetText(int control) = 0;
  virtual void SetEnabled(int control, bool enabled) = 0;
  virtual bool IsEnabled(int control) = 0;
  virtual void SetVisible(int control, bool visible) = 0;
  virtual bool IsVisible(int control) = 0;
  // Puts the control above its siblings (drawn over any it overlaps) and shows it; place and size stay.
  virtual void RaiseControl(int control) = 0;
  // Gives the control the keyboard focus (a list view then draws its selection in full colour).
  virtual void SetFocus(int control) = 0;
  // Rectangle relative to the parent's client area (the window or the panel), in pixels.
  virtual Rect GetRect(int control) = 0;
  virtual void SetRect(int control, const Rect& rect) = 0;

  // Drop-down lists (combo boxes) with an editable field; GetText and SetText read and set the field.
  // Items are counted from 0.
  virtual int AddItem(int combo, const Text& text) = 0;  // appends; returns the item
  virtual void ClearItems(int combo) = 0;
  virtual int ItemCount(int combo) = 0;
  virtual Text ItemText(int combo, int item) = 0;  // empty for an item that does not exist
  // Selects an item and shows its text in the field; -1 clears the selection and the field.
  virtual void SelectItem(int combo, int item) = 0;
  virtual int SelectedItem(int combo) = 0;  // -1 when none

  // Check boxes and option buttons. Selecting an option clears the other options of its group, as a
  // click does; a click on either changes its state before its event arrives.
  virtual void SetChecked(int control, bool checked) = 0;
  virtual bool IsChecked(int control) = 0;

  // List views. Rows are counted from 0.
  virtual void ClearRows(int list) = 0;
  virtual int AddRow(int list, const std::vector<Text>& columns, bool checked) = 0;  // returns the row
  virtual void SetRowTexts(int list, int row, const std::vector<Text>& columns) = 0;
  virtual Text RowText(int list, int row, int column) = 0;
  virtual int RowCount(int list) = 0;
  virtual int SelectedRow(int list) = 0;  // -1 when none
  // Sets both state bits of a row at once: a state without `selected` deselects the row.
  virtual void SetRowState(int list, int row, bool selected, bool checked) = 0;
  virtual bool IsRowChecked(int list, int row) = 0;
  // Selects one row (and deselects the others); -1 clears the selection.
  virtual void SelectRow(int list, int row) = 0;
  // Scrolls the list so that `row` is fully visible (no scrolling when it is, nothing for a bad row).
  virtual void ScrollToRow(int list, int row) = 0;
  // The hook that sees every row state change; an empty function detaches it.
  virtual void SetCheckBoxHook(CheckBoxHook hook) = 0;

  // Status bar of the main window.
  virtual void SetStatusText(int field, const Text& text) = 0;
  // The fields' widths in pixels, in order; -1 takes what the others leave.
  virtual void SetStatusWidths(const std::vector<int>& widths) = 0;
  virtual Text GetStatusText(int field) = 0;
  // The progress bar in the status bar's first field: `done` of `total` (total 0 or less: empty).
  virtual void SetStatusProgress(int done, int total) = 0;

  // Options menu of the main window.
  virtual void ShowOptionsMenu() = 0;  // at the mouse position
  virtual void SetMenuChecked(int item, bool checked) = 0;
  virtual bool IsMenuChecked(int item) = 0;

  // Modal message box owned by `window`: that window is disabled while the box is open and comes
  // back in front when it closes. Closing the box with its close box answers Cancel for YesNoCancel.
  virtual MessageBoxAnswer ShowMessage(int window, const Text& caption, const Text& text, MessageBoxKind kind,
                                       MessageBoxIcon icon) = 0;

  // Replaces a control's tooltip text (a control built without one keeps none).
  virtual void SetTooltip(int control, const Text& text) = 0;
};

}  // namespace korvane
