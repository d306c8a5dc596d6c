#pragma once
// "msdn Checked": the batch lookup of every checked function of every ticked library. A worker thread
// changes libraries (filling the function list in steps) and starts each library's first lookup; the
// end of each lookup starts the next one of the same library on the user-interface thread, where the
// lookup ended, so a batch of pages that come at once waits for nothing. The worker sleeps meanwhile,
// until the library is done or a stop is asked for. It touches no control and no record itself: each
// of its steps runs on the user-interface thread through Gui::Invoke.

#include <cstddef>
#include <cstdint>

#include "app/session.h"

namespace korvane {

// How often a stopped batch looks whether the running lookup has ended by itself, and how long it lets
// it try before abandoning it.
inline constexpr int kBatchPollMilliseconds = 15;
inline constexpr int kStopGraceMilliseconds = 5000;

// Rows a change of library adds to the function list per user-interface step: 2-5 ms of work each
// under Wine, where filling a list of about 1,100 rows in one step held the thread 20-35 ms and more.
inline constexpr std::size_t kBatchRowsPerStep = 250;

// The shortest time between two updates of the status bar's progress while a batch runs.
inline constexpr std::int64_t kProgressIntervalMilliseconds = 100;

// "msdn Checked" pressed: starts the batch, or, while it runs ("Stop Update"), disables the button and
// asks the worker to stop.
void MsdnCheckedPressed(Session& session);

// The worker thread's body.
void BatchLookup(Session& session);

// The running lookup has ended (on the user-interface thread). In a batch this starts the next lookup
// of the library, or, when there is none or a stop was asked for, hands the batch back to the worker.
void LookupEnded(Session& session);

// Wakes the worker after a stop was asked for.
void WakeBatch(Session& session);

// The main window is closing: stops a running batch without waiting for its page, runs the worker's
// last steps and joins it. Called on the user-interface thread; does nothing when no batch ran.
void EndBatchLookup(Session& session);

// The status bar's time field: " hh:mm:ss / hh:mm:ss", elapsed and estimated total.
Text BatchTimeText(std::int64_t elapsedMilliseconds, std::int64_t totalMilliseconds);

}  // namespace korvane
