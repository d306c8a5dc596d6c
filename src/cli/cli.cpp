#include "cli/cli.h"

#include <cstdio>

namespace korvane {
namespace {

constexpr std::string_view kUsage =
    "Usage: korvane-cli list [--] FILE...\n"
    "       korvane-cli --help\n"
    "\n"
    "Commands:\n"
    "  list FILE...  Read the import libraries FILE... in the given order. For each library\n"
    "                read, print one line \"<file name>\\t<x86|x64>\\t<number of functions>\"\n"
    "                followed by one line \"\\t<function>\\t<ANSI/wide stem>\" per function.\n"
    "                Files that yield no library are named on stderr with the reason.\n"
    "\n"
    "Exit status: 0 when at least one library was read, 1 when none was, 2 for a usage error.\n";

int UsageError(CliOutput& output, std::string_view message) {
  output.err += "korvane-cli: ";
  output.err += message;
  output.err += "\nTry 'korvane-cli --help'.\n";
  return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<Text>& args, FileSystem& files, CliOutput& output) {
  if (args.empty()) return UsageError(output, "missing command");
  if (args[0] == u"--help" || args[0] == u"-h") {
    output.out += kUsage;
    return kExitSuccess;
  }
  if (args[0] != u"list") return UsageError(output, "unknown command '" + TextToUtf8(args[0]) + "'");

  std::vector<Text> paths;
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const Text& arg = args[i];
    if (options && arg == u"--") {
      options = false;
    } else if (options && (arg == u"--help" || arg == u"-h")) {
      output.out += kUsage;
      return kExitSuccess;
    } else if (options && arg.size() > 1 && arg[0] == u'-') {
      return UsageError(output, "unknown option '" + TextToUtf8(arg) + "'");
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.empty()) return UsageError(output, "list needs at least one FILE");
  return RunListCommand(paths, files, output);
}

int RunCliOnConsole(const std::vector<Text>& args) {
  auto files = MakeDiskFileSystem();
  CliOutput output;
  const int status = RunCli(args, *files, output);
  std::fwrite(output.out.data(), 1, output.out.size(), stdout);
  std::fwrite(output.err.data(), 1, output.err.size(), stderr);
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (!written) std::fputs("korvane-cli: could not write the listing\n", stderr);
  return written || status != kExitSuccess ? status : kExitFailure;
}

}  // namespace korvane
