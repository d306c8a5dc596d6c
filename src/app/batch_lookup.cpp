#include "app/batch_lookup.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/function_list_view.h"
#include "app/library_commands.h"
#include "app/lookup_commands.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "lookup/batch_walk.h"
#include "platform/source_location.h"
#include "text/paths.h"
#include "text/text_ops.h"

namespace korvane {

// What the batch keeps of its walk. Read and changed on the user-interface thread only (inside Invoke,
// or where a lookup ends), apart from `handedBack`, which `LookupSession::wakeMutex` guards.
struct BatchRun {
  std::optional<BatchWalk> walk;
  std::vector<int> rows;  // the Libraries list row of each library of the walk
  std::int64_t startMilliseconds = 0;
  std::optional<std::int64_t> shownMilliseconds;  // when the status bar last showed the progress
  bool lookupEnded = false;  // the last lookup ended by itself: the walk hears of it at the next step
  bool handedBack = false;   // the user-interface thread started no further lookup: the worker goes on
  std::optional<std::size_t> lastRecord;  // the shown library's record looked up last
};

namespace {

bool StopRequested(const Session& session) { return session.lookup.stopRequested.load(); }

// Pages from the offline set come faster than anyone can follow: while the batch runs, what it shows
// (the selected row, the scroll position, the status bar) changes at most every
// kProgressIntervalMilliseconds, and at once for the first function of each library. Under Wine each
// change costs a scroll and a redraw, which held the batch to about 70 functions a second.
bool DueForDisplay(Session& session, BatchRun& run) {
  const std::int64_t now = session.platform.clock.MonotonicMilliseconds();
  if (run.shownMilliseconds && now - *run.shownMilliseconds < kProgressIntervalMilliseconds) return false;
  run.shownMilliseconds = now;
  return true;
}

// The progress bar and the time field; while `lookingUp`, also the function now looked up.
void ShowProgress(Session& session, const BatchRun& run, bool lookingUp) {
  Gui& gui = session.platform.gui;
  const BatchProgress& progress = run.walk->Progress();
  const std::int64_t now = session.platform.clock.MonotonicMilliseconds();
  gui.SetStatusProgress(progress.done, progress.total);
  if (lookingUp) {
    gui.SetStatusText(kStatusMessage, u" Looking up " + progress.current + u" (" + DecimalText(progress.done + 1) +
                                          u" of " + DecimalText(progress.total) + u")...");
  }
  const std::int64_t elapsed = now - run.startMilliseconds;
  gui.SetStatusText(kStatusTime, BatchTimeText(elapsed, EstimatedTotalMilliseconds(progress, elapsed)));
}

// The ticked libraries of the Libraries list, in row order.
void CollectLibraries(Session& session, bool skipFilled, BatchRun& run) {
  Gui& gui = session.platform.gui;
  std::vector<Text> keys;
  for (int row = 0; row < gui.RowCount(kLibrariesList); ++row) {
    const Text key = LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0));
    if (!gui.IsRowChecked(kLibrariesList, row) || session.catalogue.Find(key) == nullptr) continue;
    keys.push_back(key);
    run.rows.push_back(row);
  }
  run.walk.emplace(session.catalogue, std::move(keys), skipFilled);
}

// Scrolls so that the five rows below `row` are visible too: the user sees what comes next.
void ShowRowWithContext(Gui& gui, int list, int row) {
  gui.ScrollToRow(list, std::min(row + 5, gui.RowCount(list) - 1));
}

// Shows the library `key` (Libraries list row `row`); false when the batch has been stopped. Runs on the
// worker: a change of library fills the function list in steps (kBatchRowsPerStep rows each), so that
// no single step holds the user-interface thread for long.
bool ShowBatchLibrary(Session& session, const Text& key, int row) {
  Gui& gui = session.platform.gui;
  bool takes = false;
  bool refill = false;
  gui.Invoke([&] {
    takes = !StopRequested(session);
    refill = takes && session.catalogue.ShownKey() != key;
  });
  if (!takes) return false;
  const auto select = [&] {
    // Set before the selection, whose notification then finds its own row shown and changes nothing.
    session.catalogue.shownLibraryRow = row;
    gui.SelectRow(kLibrariesList, row);
    ShowRowWithContext(gui, kLibrariesList, row);
  };
  if (!refill) {
    gui.Invoke(select);
    return true;
  }
  ShowCatalogueLibraryInSteps(session, key, kBatchRowsPerStep, [&] {
    DetachCheckBoxHook(session);  // the refill's end attached it again; the lookups write the records themselves
    select();
  });
  return true;
}

// The walk hears that the last lookup ended by itself (a stopped one is not counted as done).
void Settle(BatchRun& run) {
  if (run.lookupEnded) run.walk->Done();
  run.lookupEnded = false;
}

// Starts the lookup of the shown library's next record that the batch takes; false when none is left.
bool StartNextRecord(Session& session, BatchRun& run) {
  Settle(run);
  if (StopRequested(session) || session.catalogue.Shown() == nullptr) return false;
  const std::optional<std::size_t> record = run.walk->NextRecord();
  if (!record) return false;
  run.lastRecord = record;
  if (DueForDisplay(session, run)) {
    Gui& gui = session.platform.gui;
    gui.SetFocus(kFunctionList);
    gui.SelectRow(kFunctionList, static_cast<int>(*record));
    ShowRowWithContext(gui, kFunctionList, static_cast<int>(*record));
    ShowProgress(session, run, true);
  }
  return StartLookupOf(session, session.catalogue.ShownKey(), *record);
}

// Abandons the running lookup: a page that arrives later finds the state Idle and is ignored.
void ForceIdle(Session& session) {
  session.lookup.state.store(LookupState::Idle);
  session.lookup.markers = {};
}

// Sleeps while the user-interface thread walks the library: until it hands the batch back or a stop
// was asked for. A stopped lookup then gets a few seconds (by the program's clock) to end by itself
// before it is abandoned.
void WaitForHandBack(Session& session, BatchRun& run) {
  LookupSession& lookup = session.lookup;
  {
    std::unique_lock lock(lookup.wakeMutex);
    lookup.wake.wait(lock, [&] { return run.handedBack || StopRequested(session); });
    run.handedBack = false;
  }
  if (!StopRequested(session)) return;
  Clock& clock = session.platform.clock;
  for (int waited = 0; lookup.state.load() != LookupState::Idle; waited += kBatchPollMilliseconds) {
    if (waited >= kStopGraceMilliseconds) {
      session.platform.gui.Invoke([&] { ForceIdle(session); });
      return;
    }
    clock.SleepMilliseconds(kBatchPollMilliseconds);
  }
}

void FinishBatch(Session& session, BatchRun& run) {
  Gui& gui = session.platform.gui;
  Settle(run);
  // The display followed the batch at intervals: the list ends scrolled to where the batch ended.
  if (run.lastRecord) ShowRowWithContext(gui, kFunctionList, static_cast<int>(*run.lastRecord));
  SetUpdateMode(session, UpdateMode::BatchEnded);
  AttachCheckBoxHook(session);
  ShowProgress(session, run, false);
  gui.SetStatusProgress(0, 1);
  if (!session.lookup.loadFailed) gui.SetStatusText(kStatusMessage, kReadyText);
  session.lookup.stopRequested.store(false);
  session.lookup.batch = nullptr;
  session.batchRunning.store(false);
  // Wakes the loop, which may be waiting for this last step to end the program.
  RequestLayout(gui);
}

}  // namespace

Text BatchTimeText(std::int64_t elapsedMilliseconds, std::int64_t totalMilliseconds) {
  // Appended piece by piece: GCC 12 at -O3 warns about a literal + std::string (a false positive).
  std::string text = " ";
  text += ClockText(elapsedMilliseconds);
  text += " / ";
  text += ClockText(totalMilliseconds);
  return Utf8ToText(text);
}

void LookupEnded(Session& session) {
  BatchRun* run = session.lookup.batch;
  if (run == nullptr) return;
  // A lookup that ends after a stop was asked for is not counted as done.
  run->lookupEnded = !StopRequested(session);
  if (StartNextRecord(session, *run)) return;
  {
    const std::lock_guard lock(session.lookup.wakeMutex);
    run->handedBack = true;
  }
  session.lookup.wake.notify_all();
}

void WakeBatch(Session& session) {
  LookupSession& lookup = session.lookup;
  // Taking the lock orders this wake after the worker's look at the state: it cannot be missed.
  { const std::lock_guard lock(lookup.wakeMutex); }
  lookup.wake.notify_all();
}

void BatchLookup(Session& session) {
  Gui& gui = session.platform.gui;
  BatchRun run;
  gui.Invoke([&] {
    KORVANE_HERE();
    SetUpdateMode(session, UpdateMode::BatchRunning);
    DetachCheckBoxHook(session);
    CollectLibraries(session, gui.IsMenuChecked(kMenuSkipFilled), run);
    run.startMilliseconds = session.platform.clock.MonotonicMilliseconds();
    session.lookup.batch = &run;
    // The last run's times go at once: the first library may take a while to fill before this run
    // shows its own.
    gui.SetStatusText(kStatusTime, BatchTimeText(0, 0));
  });
  // The worker changes libraries and starts each library's first lookup; from then on, the end of each
  // lookup starts the next one on the user-interface thread (LookupEnded), without waking the worker.
  while (!StopRequested(session)) {
    std::optional<std::size_t> library;
    gui.Invoke([&] {
      Settle(run);
      library = run.walk->NextLibrary();
    });
    if (!library || !ShowBatchLibrary(session, run.walk->Key(*library), run.rows[*library])) break;
    bool started = false;
    gui.Invoke([&] {
      run.lastRecord.reset();
      run.shownMilliseconds.reset();  // the first function of a library is shown at once
      started = StartNextRecord(session, run);
    });
    if (started) WaitForHandBack(session, run);
  }
  gui.Invoke([&] { FinishBatch(session, run); });
}

void MsdnCheckedPressed(Session& session) {
  KORVANE_HERE();
  LookupSession& lookup = session.lookup;
  if (session.batchRunning.load()) {
    session.platform.gui.SetEnabled(kMsdnChecked, false);
    lookup.stopRequested.store(true);
    WakeBatch(session);
    return;
  }
  if (lookup.state.load() != LookupState::Idle || session.catalogue.Shown() == nullptr) return;
  // The last batch has set its flag in its last step; its thread ends right after.
  if (lookup.worker.joinable()) lookup.worker.join();
  lookup.stopRequested.store(false);
  lookup.loadFailed = false;
  // The list the batch fills is shown above anything that may overlap it (the browser control).
  session.platform.gui.RaiseControl(kFunctionList);
  session.batchRunning.store(true);
  lookup.worker = std::thread([&session] { BatchLookup(session); });
}

void EndBatchLookup(Session& session) {
  LookupSession& lookup = session.lookup;
  if (!lookup.worker.joinable()) return;
  if (session.batchRunning.load()) {
    lookup.stopRequested.store(true);
    ForceIdle(session);  // the window is going: its page is not waited for
    WakeBatch(session);
    // The worker's remaining steps run inside WaitEvent; the events themselves are of no use now.
    while (session.batchRunning.load()) session.platform.gui.WaitEvent();
  }
  lookup.worker.join();
}

}  // namespace korvane
