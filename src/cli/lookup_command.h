#pragma once
// `korvane-cli lookup`: the batch lookup of every library's checked functions, then the catalogue files.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "lookup/lookup_run.h"

namespace korvane {

// `korvane-cli lookup --search-base URL --library-base URL [--no-skip] --out DIR [--] FILE...` with the
// arguments after the command name.
int RunLookupCli(std::span<const Text> args, FileSystem& files, Clock& clock, CliOutput& output);

// Where a batch stands: `done` of `total` functions passed, `current` the one being looked up (empty
// once the batch has ended).
struct BatchProgress {
  int done = 0;
  int total = 0;
  Text current;
};

struct BatchResult {
  int lookedUp = 0;                   // lookups started
  std::optional<PageFailure> failure;  // the page that stopped the batch
  Text failedFunction;                 // the function whose lookup it stopped
  Text failedLibrary;                  // that function's library, as named on the command line
};

// The batch over `libraries` in the given order, all of them taken as ticked: each checked function
// (with `skipFilled`, only those without a return type) is looked up to its end over `source`, one after
// the other, as the window's batch does. A page that does not load stops the batch there. `progress`
// (may be empty) hears where the batch stands before each lookup and once at the end.
BatchResult RunLookupBatch(Catalogue& catalogue, const std::vector<LoadedFile>& libraries,
                           const LookupEndpoints& endpoints, bool skipFilled, PageSource& source,
                           PageEventQueue& events, const std::function<void(const BatchProgress&)>& progress);

// One line of the terminal's progress display: a bar, done/total, the current function, the time spent
// and the time the rest should take at the pace so far ("--:--:--" until the pace is known).
std::string ProgressLine(const BatchProgress& progress, std::int64_t elapsedMilliseconds);

// ProgressLine kept one column short of a terminal `columns` wide (a line that wraps cannot be drawn
// over): the function's name is shortened first, "~" marking the cut, then the line's end. As it is for
// a width of 0 (unknown).
std::string FitProgressLine(const BatchProgress& progress, std::int64_t elapsedMilliseconds, std::size_t columns);

}  // namespace korvane
