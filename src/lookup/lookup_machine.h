#pragma once
// One lookup as a state machine: the caller loads pages and applies the row effects; the machine
// decides, and writes what a page says into the records of the library it is given (the looked-up
// record, its ANSI/wide relatives and the functions of the page's table of contents). It touches nothing
// else. The window drives it from the page source's reports, the command line from a loop (navigate,
// wait for the page, step); both see the same decisions.
//
//   LookupStart start = StartLookup(entry, index, endpoints);
//   Navigate(start.address); progress = start.progress;
//   on the end of each load while progress.state != Idle:
//     LookupOutcome out = LookupStep(progress, page, entry, key, index, batchRunning, endpoints);
//     apply out.effects in order; if (!out.navigate.empty()) Navigate(out.navigate);
//     progress = out.progress;
//
// Records are addressed by their index in entry.functions, and rows by the same index.

#include <cstddef>
#include <optional>
#include <vector>

#include "catalogue/api_function.h"
#include "lookup/search_page.h"

namespace korvane {

enum class LookupState { Idle = 0, AwaitSearchPage = 1, AwaitReferencePage = 2 };

// The fallback queries this lookup has sent already.
struct RetryMarkers {
  bool triedWithoutSuffix = false;
  bool triedMacro = false;
  bool triedFunction = false;
  bool operator==(const RetryMarkers&) const = default;
};

struct LookupProgress {
  LookupState state = LookupState::Idle;
  RetryMarkers markers;
};

struct LookupStart {
  LookupProgress progress;
  Text address;  // where to navigate first
};

// Starts a lookup of entry.functions[record]: straight to its Website when set, else the first query.
LookupStart StartLookup(const LibraryEntry& entry, std::size_t record, const LookupEndpoints& endpoints);

// What the page source reported: a loaded page's text, or a failed load.
struct LoadedPage {
  bool failed = false;
  Text text;     // the page text when loaded
  Text address;  // the address that was loaded or failed
  Text reason;   // why the load failed ("HTTP 500", "time-out")
};

// Changes to the function list view (rows are record indices) and the detail editor, in order.
struct RowEffect {
  enum class Kind {
    SetRowTexts,       // all six columns from `texts`
    SetGroupWebsite,   // the Group and Website columns from texts[4] and texts[5]
    SelectAndUncheck,  // select the row and clear its check box
    TickAndDeselect,   // tick the row's check box and clear its selection
    SelectAndSetCheck, // select the row and set its check box to `checked`
    ShowInEditor,      // the detail editor's six fields from `texts` (Website whole)
  };
  Kind kind;
  std::size_t row = 0;
  RowTexts texts{};
  bool checked = false;
};

struct PageFailure {
  Text address;
  Text reason;
};

struct LookupOutcome {
  LookupProgress progress;          // Idle when the lookup ended
  Text navigate;                    // the next address to load; empty when none
  std::vector<RowEffect> effects;   // apply in order
  std::optional<PageFailure> failure;  // the lookup ended because a page did not load
  bool ended() const { return progress.state == LookupState::Idle; }
};

// One step on a page event. `entry` is the shown library (its records are changed in place),
// `libraryKey` its key, `record` the lookup record's index. With `batchRunning` the end of the lookup
// leaves the detail editor and the selection alone. A failed load ends the lookup and changes nothing.
LookupOutcome LookupStep(const LookupProgress& progress, const LoadedPage& page, LibraryEntry& entry,
                         TextView libraryKey, std::size_t record, bool batchRunning,
                         const LookupEndpoints& endpoints);

// Whether a batch looks up `record`: it is checked and, with the skip option on, has no return type.
// The batch asks when it reaches the record, since earlier lookups of the batch change later records.
bool BatchTakes(const ApiFunction& record, bool skipFilled);

// The first record at or after `from` that the batch takes; nothing when none is left.
std::optional<std::size_t> NextBatchRecord(const LibraryEntry& entry, std::size_t from, bool skipFilled);

}  // namespace korvane
