#include "app/batch_lookup.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/function_list_view.h"
#include "app/library_commands.h"
#include "app/lookup_commands.h"
#include "app/main_window.h"
#include "platform/events.h"
#include "platform/source_location.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

// What the status bar shows of a batch: functions looked up of those to look up, and the time.
struct BatchProgress {
  std::size_t done = 0;
  std::size_t total = 0;
  std::int64_t startMilliseconds = 0;
};

Text Decimal(std::size_t value) {
  const std::string digits = std::to_string(value);
  return Text(digits.begin(), digits.end());
}

Text ClockText(std::int64_t milliseconds) {
  const long long seconds = static_cast<long long>(std::max<std::int64_t>(milliseconds, 0) / 1000);
  char digits[32];
  std::snprintf(digits, sizeof digits, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return Utf8ToText(digits);
}

bool StopRequested(const Session& session) { return session.lookup.stopRequested.load(); }

// The functions the batch will look up as things stand at its start: checked (and, with the skip option,
// without a return type) in the ticked libraries. Lookups may tick a relative later, so it is an estimate.
std::size_t CountBatchRecords(Session& session, bool skipFilled) {
  Gui& gui = session.platform.gui;
  std::size_t count = 0;
  for (int row = 0; row < gui.RowCount(kLibrariesList); ++row) {
    const LibraryEntry* entry = session.catalogue.Find(LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0)));
    if (entry == nullptr || !gui.IsRowChecked(kLibrariesList, row)) continue;
    count += static_cast<std::size_t>(std::count_if(entry->functions.begin(), entry->functions.end(),
                                                    [&](const ApiFunction& f) { return BatchTakes(f, skipFilled); }));
  }
  return count;
}

void ShowProgress(Session& session, const BatchProgress& progress, const ApiFunction* next) {
  Gui& gui = session.platform.gui;
  const std::size_t total = std::max(progress.total, progress.done + (next != nullptr ? 1 : 0));
  gui.SetStatusProgress(static_cast<int>(progress.done), static_cast<int>(total));
  if (next != nullptr) {
    gui.SetStatusText(kStatusMessage, u" Looking up " + next->Function + u" (" + Decimal(progress.done + 1) +
                                          u" of " + Decimal(total) + u")...");
  }
  const std::int64_t elapsed = session.platform.clock.MonotonicMilliseconds() - progress.startMilliseconds;
  const std::int64_t estimate =
      progress.done == 0 ? 0 : elapsed * static_cast<std::int64_t>(total) / static_cast<std::int64_t>(progress.done);
  gui.SetStatusText(kStatusTime, BatchTimeText(elapsed, estimate));
}

// Scrolls so that the five rows below `row` are visible too: the user sees what comes next.
void ShowRowWithContext(Gui& gui, int list, int row) {
  gui.ScrollToRow(list, std::min(row + 5, gui.RowCount(list) - 1));
}

// Shows library row `row` when it is ticked and the catalogue has it; false when the batch passes it
// over or has been stopped. Runs on the worker: a change of library fills the function list in steps
// (kBatchRowsPerStep rows each), so that no single step holds the user-interface thread for long.
bool ShowBatchLibrary(Session& session, int row) {
  Gui& gui = session.platform.gui;
  Text key;
  bool takes = false;
  bool refill = false;
  gui.Invoke([&] {
    key = LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0));
    takes = !StopRequested(session) && gui.IsRowChecked(kLibrariesList, row) &&
            session.catalogue.Find(key) != nullptr;
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

// Starts the lookup of the next record the batch takes at or after `next`; false when none is left.
bool StartNextRecord(Session& session, bool skipFilled, std::size_t& next, BatchProgress& progress) {
  const LibraryEntry* shown = session.catalogue.Shown();
  if (StopRequested(session) || shown == nullptr) return false;
  const std::optional<std::size_t> record = NextBatchRecord(*shown, next, skipFilled);
  if (!record) return false;
  next = *record + 1;
  session.platform.gui.SetFocus(kFunctionList);
  session.platform.gui.SelectRow(kFunctionList, static_cast<int>(*record));
  ShowRowWithContext(session.platform.gui, kFunctionList, static_cast<int>(*record));
  ShowProgress(session, progress, &shown->functions[*record]);
  return StartLookupOf(session, session.catalogue.ShownKey(), *record);
}

// Abandons the running lookup: a page that arrives later finds the state Idle and is ignored.
void ForceIdle(Session& session) {
  session.lookup.state.store(LookupState::Idle);
  session.lookup.markers = {};
}

void WaitForLookup(Session& session) {
  Clock& clock = session.platform.clock;
  while (session.lookup.state.load() != LookupState::Idle && !StopRequested(session)) {
    clock.SleepMilliseconds(kBatchPollMilliseconds);
  }
  if (!StopRequested(session)) return;
  // Stopped: the running lookup gets a few seconds to end by itself.
  int waited = 0;
  while (session.lookup.state.load() != LookupState::Idle) {
    waited += kBatchPollMilliseconds;
    if (waited > kStopGraceMilliseconds) {
      session.platform.gui.Invoke([&] { ForceIdle(session); });
      return;
    }
    clock.SleepMilliseconds(kBatchPollMilliseconds);
  }
}

void LookUpLibrary(Session& session, bool skipFilled, BatchProgress& progress) {
  Gui& gui = session.platform.gui;
  std::size_t next = 0;
  for (;;) {
    bool started = false;
    gui.Invoke([&] { started = StartNextRecord(session, skipFilled, next, progress); });
    if (!started) return;
    WaitForLookup(session);
    if (StopRequested(session)) return;
    ++progress.done;
  }
}

void FinishBatch(Session& session, const BatchProgress& progress) {
  Gui& gui = session.platform.gui;
  SetUpdateMode(session, UpdateMode::BatchEnded);
  AttachCheckBoxHook(session);
  ShowProgress(session, progress, nullptr);
  gui.SetStatusProgress(0, 1);
  if (!session.lookup.loadFailed) gui.SetStatusText(kStatusMessage, kReadyText);
  session.lookup.stopRequested.store(false);
  session.batchRunning.store(false);
  // Wakes the loop, which may be waiting for this last step to end the program.
  RequestLayout(gui);
}

}  // namespace

Text BatchTimeText(std::int64_t elapsedMilliseconds, std::int64_t totalMilliseconds) {
  Text text(u" ");
  text += ClockText(elapsedMilliseconds);
  text += u" / ";
  text += ClockText(totalMilliseconds);
  return text;
}

void BatchLookup(Session& session) {
  Gui& gui = session.platform.gui;
  BatchProgress progress;
  bool skipFilled = true;
  int rows = 0;
  gui.Invoke([&] {
    KORVANE_HERE();
    SetUpdateMode(session, UpdateMode::BatchRunning);
    DetachCheckBoxHook(session);
    skipFilled = gui.IsMenuChecked(kMenuSkipFilled);
    rows = gui.RowCount(kLibrariesList);
    progress.total = CountBatchRecords(session, skipFilled);
    progress.startMilliseconds = session.platform.clock.MonotonicMilliseconds();
  });
  for (int row = 0; row < rows && !StopRequested(session); ++row) {
    if (ShowBatchLibrary(session, row)) LookUpLibrary(session, skipFilled, progress);
  }
  gui.Invoke([&] { FinishBatch(session, progress); });
}

void MsdnCheckedPressed(Session& session) {
  KORVANE_HERE();
  LookupSession& lookup = session.lookup;
  if (session.batchRunning.load()) {
    session.platform.gui.SetEnabled(kMsdnChecked, false);
    lookup.stopRequested.store(true);
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
    // The worker's remaining steps run inside WaitEvent; the events themselves are of no use now.
    while (session.batchRunning.load()) session.platform.gui.WaitEvent();
  }
  lookup.worker.join();
}

}  // namespace korvane
