#include "cli/command_args.h"

#include <algorithm>

namespace korvane {
namespace {

bool LooksLikeOption(const Text& arg) { return arg.size() > 1 && arg[0] == u'-'; }

bool Among(const Text& arg, std::span<const TextView> names) {
  return std::find(names.begin(), names.end(), arg) != names.end();
}

}  // namespace

CommandArgs ParseCommandArgs(std::span<const Text> args, std::span<const TextView> valueOptions) {
  CommandArgs parsed;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Text& arg = args[i];
    if (!options || !LooksLikeOption(arg)) {
      parsed.files.push_back(arg);
    } else if (arg == u"--") {
      options = false;
    } else if (arg == u"--help" || arg == u"-h") {
      parsed.help = true;
      return parsed;
    } else if (std::find(valueOptions.begin(), valueOptions.end(), arg) == valueOptions.end()) {
      parsed.error = "unknown option '" + TextToUtf8(arg) + "'";
      return parsed;
    } else if (i + 1 == args.size() || LooksLikeOption(args[i + 1]) || args[i + 1].empty()) {
      // "--out --merge x.xml" is a forgotten value, not a folder named "--merge".
      parsed.error = "option '" + TextToUtf8(arg) + "' needs a value";
      return parsed;
    } else {
      parsed.options.emplace_back(arg, args[i + 1]);
      ++i;
    }
  }
  return parsed;
}

SpecialOptionsTaken TakeSpecialOptions(std::span<const Text> args, const SpecialOptions& special) {
  SpecialOptionsTaken taken;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Text& arg = args[i];
    if (optionsEnded) {
      taken.rest.push_back(arg);
    } else if (arg == u"--") {
      optionsEnded = true;
      taken.rest.push_back(arg);
    } else if (Among(arg, special.flags)) {
      taken.flags.push_back(arg);
    } else if (Among(arg, special.freeValues)) {
      if (i + 1 == args.size()) {
        taken.error = "option '" + TextToUtf8(arg) + "' needs a value";
        return taken;
      }
      taken.freeValues.emplace_back(arg, args[i + 1]);
      ++i;
    } else {
      taken.rest.push_back(arg);
      // The value goes along unread; when it looks like an option, ParseCommandArgs names it forgotten.
      if (Among(arg, special.valueOptions) && i + 1 < args.size()) {
        taken.rest.push_back(args[++i]);
      }
    }
  }
  return taken;
}

}  // namespace korvane
