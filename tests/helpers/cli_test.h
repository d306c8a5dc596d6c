#pragma once
// The command line run in process against an in-memory file system: its exit status and what it printed.

#include <gtest/gtest.h>

#include <vector>

#include "cli/cli.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane::testing {

struct CliRun {
  int status = 0;
  CliOutput output;
};

inline CliRun RunCliWith(const std::vector<Text>& args, FileSystem& files, Clock& clock) {
  CliRun run;
  run.status = RunCli(args, files, clock, run.output);
  return run;
}

// A suite of command-line runs that share one in-memory file system and a clock that stands still.
class CliTest : public ::testing::Test {
 protected:
  CliRun Cli(const std::vector<Text>& args) { return RunCliWith(args, files, clock); }

  MemoryFileSystem files;
  FixedClock clock;
};

}  // namespace korvane::testing
