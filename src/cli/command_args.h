#pragma once
// Splitting a command's arguments into options and file names.

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "text/text.h"

namespace korvane {

struct CommandArgs {
  std::vector<Text> files;                      // in the given order
  std::vector<std::pair<Text, Text>> options;  // option name and value, in the given order
  bool help = false;                            // --help or -h was met (parsing stopped there)
  std::string error;                            // a usage error (parsing stopped there); empty when none
};

// Parses the arguments after the command name. "--" ends the options; "-" alone is a file name. An
// option named in `valueOptions` takes the next argument as its value, which must not itself look
// like an option (write "./-name" for such a name); every other option is an error.
CommandArgs ParseCommandArgs(std::span<const Text> args, std::span<const TextView> valueOptions);

}  // namespace korvane
