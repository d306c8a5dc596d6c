#include "cli/cli.h"

#include <array>
#include <cstdio>

#include "cli/command_args.h"
#include "cli/export_command.h"
#include "cli/lookup_command.h"
#include "korvane_version.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace korvane {

namespace {

constexpr std::string_view kListUsage =
    "Usage: korvane-cli list [--] FILE...\n"
    "\n"
    "Reads FILE... in the given order; FILE is an import library (an archive) or a catalogue file\n"
    "such as \"[x86] [12.06.2015-21.42.35] user32.lib.xml\", the content tells which. For each\n"
    "library read, prints one line \"<file name>\\t<x86|x64>\\t<number of functions>\" followed by\n"
    "one line \"\\t<function>\\t<ANSI/wide stem>\" per function. Files that yield no library are\n"
    "named on stderr with the reason.\n"
    "\n"
    "Exit status: 0 when at least one library was read, 1 when none was, 2 for a usage error.\n";

constexpr std::string_view kCatalogueUsage =
    "Usage: korvane-cli catalogue --out DIR [--merge XMLFILE]... [--] FILE...\n"
    "\n"
    "Reads FILE... as list does, copies every function of each catalogue file XMLFILE over the read\n"
    "functions of exactly the same name, then writes one catalogue file per library into the\n"
    "existing folder DIR, named \"[<x86|x64>] [<mm.dd.yyyy-hh.mm.ss>] <file name>.xml\" after the\n"
    "local time. Prints the path of each file written, one per line. Files that yield no library,\n"
    "merge files that cannot be used and files that cannot be written are named on stderr with the\n"
    "reason.\n"
    "\n"
    "Exit status: 0 when at least one file was written, 1 when none was, 2 for a usage error.\n";

int RunList(std::span<const Text> args, FileSystem& files, Clock&, CliOutput& output) {
  const CommandArgs parsed = ParseCommandArgs(args, {});
  if (parsed.help) return output.out += kListUsage, kExitSuccess;
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  if (parsed.files.empty()) return UsageError(output, "list needs at least one FILE");
  return RunListCommand(parsed.files, files, output);
}

int RunCatalogue(std::span<const Text> args, FileSystem& files, Clock& clock, CliOutput& output) {
  static constexpr std::array<TextView, 2> kValueOptions = {u"--out", u"--merge"};
  const CommandArgs parsed = ParseCommandArgs(args, kValueOptions);
  if (parsed.help) return output.out += kCatalogueUsage, kExitSuccess;
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  CatalogueRequest request;
  bool haveOut = false;
  for (const auto& [name, value] : parsed.options) {
    if (name == u"--merge") {
      request.mergeFiles.push_back(value);
    } else if (haveOut) {
      return UsageError(output, "catalogue takes one --out");
    } else {
      request.outFolder = value;
      haveOut = true;
    }
  }
  if (!haveOut) return UsageError(output, "catalogue needs --out DIR");
  if (parsed.files.empty()) return UsageError(output, "catalogue needs at least one FILE");
  request.files = parsed.files;
  return RunCatalogueCommand(request, files, clock, output);
}

int RunExport(std::span<const Text> args, FileSystem& files, Clock&, CliOutput& output) {
  return RunExportCli(args, files, output);
}

int RunParsePageCommand(std::span<const Text> args, FileSystem& files, Clock&, CliOutput& output) {
  return RunParsePage(args, files, output);
}

int RunDocs(std::span<const Text> args, FileSystem& files, Clock&, CliOutput& output) {
  return RunDocsCommand(args, files, output);
}

int RunPbi(std::span<const Text> args, FileSystem& files, Clock&, CliOutput& output) {
  return RunPbiCli(args, files, output);
}

// Every command: the general usage, the dispatch and each command's --help all come from here.
const CliCommand kCommands[] = {
    {"list", "list [--] FILE...", kListUsage, RunList},
    {"catalogue", "catalogue --out DIR [--merge XMLFILE]... [--] FILE...", kCatalogueUsage, RunCatalogue},
    {"export", "export --root DIR [OPTION]... [--] FILE...", kExportUsage, RunExport},
    {"parse-page", "parse-page --function NAME --library KEY [--] FILE...", kParsePageUsage, RunParsePageCommand},
    {"lookup", "lookup (--search-base URL --library-base URL | --docs DOCSFILE) [--no-skip] --out DIR\n"
               "                          [--] FILE...", kLookupUsage, RunLookupCli},
    {"docs", "docs (build --headers DIR... [--reference DIR] --out FILE | serve [--port N] FILE)", kDocsUsage, RunDocs},
    {"pbi", "pbi --out DIR [--docs DOCSFILE] [--] FILE...", kPbiUsage, RunPbi},
};

int Help(CliOutput& output) {
  bool first = true;
  for (const CliCommand& command : kCommands) {
    output.out += first ? "Usage: korvane-cli " : "       korvane-cli ";
    output.out += command.synopsis;
    output.out += '\n';
    first = false;
  }
  output.out +=
      "       korvane-cli COMMAND --help\n"
      "       korvane-cli --help\n"
      "       korvane-cli --version\n"
      "\n"
      "FILE is an import library (an archive) or a catalogue file such as\n"
      "\"[x86] [12.06.2015-21.42.35] user32.lib.xml\"; the content tells which.\n"
      "'korvane-cli COMMAND --help' tells what COMMAND does, its options and its exit status;\n"
      "every command exits with 2 for a usage error.\n";
  return kExitSuccess;
}

}  // namespace

int UsageError(CliOutput& output, std::string_view message) {
  output.err += "korvane-cli: ";
  output.err += message;
  output.err += "\nTry 'korvane-cli --help'.\n";
  return kExitUsage;
}

std::span<const CliCommand> CliCommands() { return kCommands; }

int RunCli(const std::vector<Text>& args, FileSystem& files, Clock& clock, CliOutput& output) {
  if (args.empty()) return UsageError(output, "missing command");
  if (args[0] == u"--help" || args[0] == u"-h") return Help(output);
  if (args[0] == u"--version") {
    output.out += "korvane-cli " KORVANE_VERSION "\n";
    return kExitSuccess;
  }
  for (const CliCommand& command : kCommands) {
    if (args[0] == Utf8ToText(command.name)) {
      return command.run(std::span<const Text>(args).subspan(1), files, clock, output);
    }
  }
  return UsageError(output, "unknown command '" + TextToUtf8(args[0]) + "'");
}

std::string FitToColumns(std::string line, std::size_t columns) {
  if (columns == 0) return line;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if ((static_cast<unsigned char>(line[i]) & 0xC0) == 0x80) continue;  // continuation byte
    if (++characters > columns) {
      line.resize(i);
      break;
    }
  }
  return line;
}

namespace {

// The width of the terminal stderr writes to; 0 when it cannot be had.
std::size_t TerminalColumns() {
#ifdef _WIN32
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  const int columns = info.srWindow.Right - info.srWindow.Left + 1;
  return columns > 0 ? static_cast<std::size_t>(columns) : 0;
#else
  winsize size{};
  if (::ioctl(fileno(stderr), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
#endif
}

}  // namespace

int RunCliOnConsole(const std::vector<Text>& args) {
  auto files = MakeDiskFileSystem();
  auto clock = MakeSystemClock();
  CliOutput output;
#ifdef _WIN32
  const bool terminal = _isatty(_fileno(stderr)) != 0;
#else
  const bool terminal = isatty(fileno(stderr)) != 0;
#endif
  if (terminal) {
    output.live = [](std::string_view text) {
      std::fwrite(text.data(), 1, text.size(), stderr);
      std::fflush(stderr);
    };
    output.liveColumns = TerminalColumns();
  }
  const int status = RunCli(args, *files, *clock, output);
  std::fwrite(output.out.data(), 1, output.out.size(), stdout);
  std::fwrite(output.err.data(), 1, output.err.size(), stderr);
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (!written) std::fputs("korvane-cli: could not write to standard output\n", stderr);
  return written || status != kExitSuccess ? status : kExitFailure;
}

}  // namespace korvane
