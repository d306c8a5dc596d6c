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

// The options that ParseCommandArgs cannot take, taken out before it runs.
struct SpecialOptions {
  std::span<const TextView> flags;       // take no value ("--no-skip")
  std::span<const TextView> freeValues;  // take the next argument whatever it is, empty or "-x" ("--template")
  std::span<const TextView> valueOptions;  // the options ParseCommandArgs takes: their values are skipped
};

struct SpecialOptionsTaken {
  std::vector<Text> rest;                        // every other argument, in order, for ParseCommandArgs
  std::vector<Text> flags;                       // the flags met, in order
  std::vector<std::pair<Text, Text>> freeValues;  // the free-value options met and their values, in order
  std::string error;                             // a free-value option at the end, without its value
};

// Takes the flags and free-value options out of `args`, up to a "--" (which stays in `rest`). The
// argument after an option of `valueOptions` is that option's value and stays with it, even when it
// looks like a flag: "--out --no-skip" then reads as a forgotten value.
SpecialOptionsTaken TakeSpecialOptions(std::span<const Text> args, const SpecialOptions& special);

}  // namespace korvane
