#pragma once
// A window described as data: its size and a table of control descriptions. Both user-interface
// backends build windows from these tables, so the real window and the in-memory one can never
// disagree on a control.

#include <utility>
#include <vector>

#include "text/text.h"

namespace korvane {

enum class ControlKind {
  PushButton,
  PictureButton,   // shows the embedded donation picture
  TextField,       // one line, sunken edge, scrolls horizontally
  MultiLineField,  // several lines, vertical auto-scroll, no wrapping
  ListView,        // report view, single selection, check boxes, grid lines
  Panel,           // a container with a thin border; its children are placed inside it
  Browser,         // the embedded browser control
  Label,           // static text, left-aligned
  ComboBox,        // a drop-down list with an editable text field
  CheckBox,        // a check box with its text on the right
  OptionButton,    // one option of a group; the group starts at a control with kStyleGroupStart
};

// Style details that the backends translate into their own terms.
enum StyleFlag : unsigned {
  kStyleNone = 0,
  kStyleTextBottom = 1u << 0,        // button text at the bottom (BS_BOTTOM)
  kStyleTextVCenter = 1u << 1,       // button text centred vertically (BS_VCENTER)
  kStyleTextCentered = 1u << 2,      // text field contents centred (ES_CENTER)
  kStyleColumnsReorder = 1u << 3,    // list view: header drag-and-drop
  kStyleUnscaled = 1u << 4,          // rectangle is in pixels, not design units
  kStyleXFromRight = 1u << 5,        // x = inner width + x (x is negative)
  kStyleWidthFromRight = 1u << 6,    // width = inner width + width (width is negative)
  kStyleHeightFromBottom = 1u << 7,  // height = inner height + height (height is negative)
  kStyleYFromBottom = 1u << 8,       // y = inner height + y (y is negative)
  kStyleGroupStart = 1u << 9,        // option buttons: the first of a group (WS_GROUP)
};

struct ListColumn {
  Text title;
  int width = 0;  // design units
};

struct ControlDescription {
  int number = 0;
  ControlKind kind = ControlKind::PushButton;
  Text text;
  int x = 0, y = 0, width = 0, height = 0;  // design units unless kStyleUnscaled
  unsigned style = kStyleNone;
  bool enabled = true;
  bool visible = true;
  bool checked = false;  // check boxes and option buttons: built ticked or selected
  Text tooltip;
  int parent = -1;  // the panel that contains the control, or -1 for the window itself
  std::vector<ListColumn> columns;  // list views only
  unsigned textColour = 0, backgroundColour = 0;  // list views only: 0xRRGGBB
};

struct StatusField {
  int width = 0;  // design units; -1 takes the width that remains
  Text text;      // start-up text; empty for the progress bar field
};

struct MenuItem {
  int number = 0;
  Text text;
  bool checked = false;
};

struct WindowDescription {
  int number = 0;
  Text title;
  int innerWidth = 0, innerHeight = 0;        // design units
  int minInnerWidth = 0, minInnerHeight = 0;  // design units; 0: no minimum
  bool resizable = true;
  bool acceptsFiles = false;
  // The program's main window: it owns the status bar, the options menu and the message boxes, the size
  // handler follows it, and a request to quit closes it. One window of a program is the main one.
  bool main = false;
  int owner = -1;  // the window that owns this one (stays above it, goes with it), or -1
  std::vector<ControlDescription> controls;  // in creation (tab) order
  std::vector<StatusField> statusFields;     // empty: no status bar
  std::vector<MenuItem> optionsMenu;         // empty: no popup menu
};

// The option group of each option button of a window: the number of the group's first button. A group
// runs from a button with kStyleGroupStart (or one that follows a control of another kind) up to the
// next control that is not an option button or starts a group of its own.
inline std::vector<std::pair<int, int>> OptionGroups(const WindowDescription& window) {
  std::vector<std::pair<int, int>> groups;
  int group = -1;
  for (const ControlDescription& control : window.controls) {
    if (control.kind != ControlKind::OptionButton) {
      group = -1;
      continue;
    }
    if (group == -1 || (control.style & kStyleGroupStart) != 0) group = control.number;
    groups.emplace_back(control.number, group);
  }
  return groups;
}

}  // namespace korvane
