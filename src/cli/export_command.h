#pragma once
// `korvane-cli export`: installs libraries into an IDE installation and merges them into its listing.

#include <span>

#include "cli/cli.h"

namespace korvane {

// `korvane-cli export --root DIR [--annotations convert|keep|remove] [--template TEXT] [--no-listing]
// [--] FILE...` with the arguments after the command name.
int RunExportCli(std::span<const Text> args, FileSystem& files, CliOutput& output);

}  // namespace korvane
