#pragma once
// The neutral events that the user-interface backends deliver to the program, in the platform's own
// words: what happened (a control was used, a menu item chosen, files dropped, a window closed or
// resized) and where, by the numbers the program gave its windows and controls. The program's own
// numbers live with the program; the platform never names one of them.

#include "text/text.h"

namespace korvane {

// Event kinds.
inline constexpr int kEventControl = 13100;
inline constexpr int kEventMenu = 13101;
inline constexpr int kEventFilesDropped = 13105;
inline constexpr int kEventCloseWindow = 13116;
inline constexpr int kEventSizeChanged = 13118;

// Control event types.
inline constexpr int kTypeClick = 0;
inline constexpr int kTypeDoubleClick = 2;
inline constexpr int kTypeChanged = 768;
// Enter or Escape pressed in a text field; the key does nothing else there.
inline constexpr int kTypeEnterKey = 13;
inline constexpr int kTypeEscapeKey = 27;

// List view state images: 1 box cleared, 2 box ticked.
inline constexpr int kStateImageUnchecked = 1;
inline constexpr int kStateImageChecked = 2;

// One event, as the loop receives it. The program may queue events of kinds of its own; the platform
// hands them back unchanged.
struct Event {
  int kind = 0;
  int window = 0;
  int control = -1;  // control number for control events, item number for menu events
  int type = 0;      // control event type
  Text files;        // dropped paths separated by line feeds, for kEventFilesDropped
};

}  // namespace korvane
