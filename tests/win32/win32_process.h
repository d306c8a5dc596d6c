#pragma once
// What a test or a benchmark of the real windows does as the program does: prepare the process before
// the platform exists, and run the loop over what is pending. No test framework here, so the Wine
// benchmarks use it too.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <vector>

#include "app/program_numbers.h"
#include "platform/gui.h"

namespace korvane::test {

// What the program does in wWinMain before it creates its platform, once per process.
inline void PrepareProcessLikeTheProgram() {
  static const bool prepared = [] {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    SetProcessDPIAware();
    return true;
  }();
  (void)prepared;
}

// An event that nothing else raises: queued after the others, it marks the end of what is pending.
inline constexpr int kSentinelKind = 99999;

// Every event that is pending now (the user's and the queued ones), in the order WaitEvent gives them.
inline std::vector<Event> PendingEvents(Gui& gui) {
  gui.QueueEvent({kSentinelKind, kMainWindow, -1, 0, {}});
  std::vector<Event> events;
  for (Event event = gui.WaitEvent(); event.kind != kSentinelKind; event = gui.WaitEvent()) {
    events.push_back(event);
  }
  return events;
}

}  // namespace korvane::test
