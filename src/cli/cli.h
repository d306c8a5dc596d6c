#pragma once
// The command line: korvane-cli COMMAND ARGS. Output is collected as UTF-8 with LF line ends; the entry
// point writes it unchanged.

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "text/text.h"

namespace korvane {

// Exit statuses of the command line.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CliOutput {
  std::string out;
  std::string err;
};

// Runs the command line on `args` (without the program name).
int RunCli(const std::vector<Text>& args, FileSystem& files, CliOutput& output);

// RunCli on the disk's file system, writing the output to stdout and stderr unchanged. A failed write
// of stdout turns success into failure.
int RunCliOnConsole(const std::vector<Text>& args);

// `korvane-cli list FILE...`: loads the files in order and prints each library and its functions.
int RunListCommand(const std::vector<Text>& files, FileSystem& fileSystem, CliOutput& output);

}  // namespace korvane
