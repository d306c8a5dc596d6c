#include "cli/cli.h"

#include <array>
#include <cstdio>

#include "cli/command_args.h"
#include "cli/export_command.h"
#include "cli/lookup_command.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace korvane {

int RunParsePage(std::span<const Text> args, FileSystem& files, CliOutput& output);

int RunDocsCommand(std::span<const Text> args, FileSystem& files, CliOutput& output);  // docs_command.cpp
namespace {

constexpr std::string_view kUsage =
    "Usage: korvane-cli list [--] FILE...\n"
    "       korvane-cli catalogue --out DIR [--merge XMLFILE]... [--] FILE...\n"
    "       korvane-cli export --root DIR [OPTION]... [--] FILE...  (see korvane-cli export --help)\n"
    "       korvane-cli parse-page --function NAME --library KEY [--] FILE...\n"
    "       korvane-cli lookup --search-base URL --library-base URL [--no-skip] --out DIR [--] FILE...\n"
    "                          (see korvane-cli lookup --help)\n"
    "       korvane-cli pbi --out DIR [--docs DOCSFILE] [--] FILE...  (see korvane-cli pbi --help)\n"
    "       korvane-cli --help\n"
    "\n"
    "FILE is an import library (an archive) or a catalogue file such as\n"
    "\"[x86] [12.06.2015-21.42.35] user32.lib.xml\"; the content tells which.\n"
    "\n"
    "Commands:\n"
    "  list FILE...  Read FILE... in the given order. For each library read, print one line\n"
    "                \"<file name>\\t<x86|x64>\\t<number of functions>\" followed by one line\n"
    "                \"\\t<function>\\t<ANSI/wide stem>\" per function.\n"
    "  catalogue --out DIR [--merge XMLFILE]... FILE...\n"
    "                Read FILE... as list does, copy every function of each catalogue file\n"
    "                XMLFILE over the read functions of exactly the same name, then write one\n"
    "                catalogue file per library into the existing folder DIR, named\n"
    "                \"[<x86|x64>] [<mm.dd.yyyy-hh.mm.ss>] <file name>.xml\" after the local\n"
    "                time. Print the path of each file written, one per line.\n"
    "  parse-page --function NAME --library KEY FILE...\n"
    "                Read each FILE as a saved reference page (Windows-1252) of function NAME in\n"
    "                library KEY and print one JSON object per FILE and line, in the given order.\n"
    "\n"
    "Files that yield no library, merge files that cannot be used and files that cannot be\n"
    "written are named on stderr with the reason.\n"
    "\n"
    "Exit status: 0 when at least one library was read (list) or one file was written\n"
    "(catalogue), 1 when none was, 2 for a usage error.\n";

int Help(CliOutput& output) {
  output.out += kUsage;
  return kExitSuccess;
}

int RunList(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  const CommandArgs parsed = ParseCommandArgs(args, {});
  if (parsed.help) return Help(output);
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  if (parsed.files.empty()) return UsageError(output, "list needs at least one FILE");
  return RunListCommand(parsed.files, files, output);
}

int RunCatalogue(std::span<const Text> args, FileSystem& files, Clock& clock, CliOutput& output) {
  static constexpr std::array<TextView, 2> kValueOptions = {u"--out", u"--merge"};
  const CommandArgs parsed = ParseCommandArgs(args, kValueOptions);
  if (parsed.help) return Help(output);
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

}  // namespace

int UsageError(CliOutput& output, std::string_view message) {
  output.err += "korvane-cli: ";
  output.err += message;
  output.err += "\nTry 'korvane-cli --help'.\n";
  return kExitUsage;
}

int RunCli(const std::vector<Text>& args, FileSystem& files, Clock& clock, CliOutput& output) {
  if (args.empty()) return UsageError(output, "missing command");
  const std::span<const Text> rest = std::span<const Text>(args).subspan(1);
  if (args[0] == u"--help" || args[0] == u"-h") return Help(output);
  if (args[0] == u"list") return RunList(rest, files, output);
  if (args[0] == u"catalogue") return RunCatalogue(rest, files, clock, output);
  if (args[0] == u"export") return RunExportCli(rest, files, output);
  if (args[0] == u"parse-page") return RunParsePage(rest, files, output);
  if (args[0] == u"docs") return RunDocsCommand(rest, files, output);
  if (args[0] == u"lookup") return RunLookupCli(rest, files, clock, output);
  if (args[0] == u"pbi") return RunPbiCli(rest, files, output);
  return UsageError(output, "unknown command '" + TextToUtf8(args[0]) + "'");
}

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
  }
  const int status = RunCli(args, *files, *clock, output);
  std::fwrite(output.out.data(), 1, output.out.size(), stdout);
  std::fwrite(output.err.data(), 1, output.err.size(), stderr);
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (!written) std::fputs("korvane-cli: could not write to standard output\n", stderr);
  return written || status != kExitSuccess ? status : kExitFailure;
}

}  // namespace korvane
