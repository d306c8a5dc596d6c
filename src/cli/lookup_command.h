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

// One line of the terminal's progress display: a bar, done/total, the current function, the time spent
// and the time the rest should take at the pace so far ("--:--:--" until the pace is known).
std::string ProgressLine(const BatchProgress& progress, std::int64_t elapsedMilliseconds);

// ProgressLine kept one column short of a terminal `columns` wide (a line that wraps cannot be drawn
// over): the function's name is shortened first, "~" marking the cut, then the line's end. As it is for
// a width of 0 (unknown).
std::string FitProgressLine(const BatchProgress& progress, std::int64_t elapsedMilliseconds, std::size_t columns);

}  // namespace korvane
