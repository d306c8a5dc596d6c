#pragma once
// The command line: korvane-cli COMMAND ARGS. Output is collected as UTF-8 with LF line ends; the entry
// point writes it unchanged.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/load_files.h"
#include "platform/file_system.h"
#include "platform/clock.h"
#include "text/text.h"

namespace korvane {

// Exit statuses of the command line.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The separator of the file system the command line runs on, put behind a --out folder named
// without any ('out'); the POSIX file system maps "\\" to "/", but the printed path must be the real one.
#ifdef _WIN32
inline constexpr char16_t kSystemSeparator = u'\\';
#else
inline constexpr char16_t kSystemSeparator = u'/';
#endif

struct CliOutput {
  std::string out;
  std::string err;
  // Writes to stderr at once, for a display that changes while a command runs (the lookup's progress
  // bar). Empty when stderr is not a terminal: then nothing of such a display is shown.
  std::function<void(std::string_view)> live;
  // The terminal's width in columns, for `live` lines that must fit on one row; 0 when unknown.
  std::size_t liveColumns = 0;
};

// `line` shortened to at most `columns` characters (UTF-8 code points) when it is longer; as it is for
// 0 columns.
std::string FitToColumns(std::string line, std::size_t columns);

// Runs the command line on `args` (without the program name). `clock` stamps the names of the
// catalogue files written.
int RunCli(const std::vector<Text>& args, FileSystem& files, Clock& clock, CliOutput& output);

// RunCli on the disk's file system and the system's local clock, writing the output to stdout and
// stderr unchanged. A failed write of stdout turns success into failure.
int RunCliOnConsole(const std::vector<Text>& args);

// One command: its name, its line in the general usage, the text its --help prints and the function
// that runs it on the arguments after its name.
struct CliCommand {
  std::string_view name;
  std::string_view synopsis;
  std::string_view usage;
  int (*run)(std::span<const Text> args, FileSystem& files, Clock& clock, CliOutput& output);
};

// Every command, in the order of the general usage; the command line knows no other.
std::span<const CliCommand> CliCommands();

// The text each command's --help prints, defined beside the command.
extern const std::string_view kExportUsage;
extern const std::string_view kLookupUsage;
extern const std::string_view kParsePageUsage;
extern const std::string_view kDocsUsage;
extern const std::string_view kPbiUsage;

// `korvane-cli parse-page` and `korvane-cli docs` with the arguments after the command name.
int RunParsePage(std::span<const Text> args, FileSystem& files, CliOutput& output);
int RunDocsCommand(std::span<const Text> args, FileSystem& files, CliOutput& output);

// Appends a usage error and the hint to --help to stderr; returns kExitUsage.
int UsageError(CliOutput& output, std::string_view message);

// `korvane-cli pbi --out DIR [--docs DOCSFILE] [--] FILE...` with the arguments after the command name.
int RunPbiCli(std::span<const Text> args, FileSystem& files, CliOutput& output);

// The folder of the running korvane-cli, ending in a separator, where the documentation set is looked
// for by default; set by the entry point, empty when unknown (tests).
Text& CliProgramFolder();

// `korvane-cli list FILE...`: loads the files in order and prints each library and its functions.
int RunListCommand(const std::vector<Text>& files, FileSystem& fileSystem, CliOutput& output);

// What `korvane-cli catalogue` was asked to do.
struct CatalogueRequest {
  Text outFolder;               // as given on the command line
  std::vector<Text> mergeFiles;  // in the given order
  std::vector<Text> files;       // libraries and catalogue files, in the given order
};

// `korvane-cli catalogue --out DIR [--merge FILE]... FILE...`: loads the files as `list` does, merges
// the merge files into them and writes one catalogue file per library into DIR.
int RunCatalogueCommand(const CatalogueRequest& request, FileSystem& fileSystem, Clock& clock,
                        CliOutput& output);

// Whether the --out folder exists; names it on stderr when not. The folder is never created: a mistyped
// name would put files where the user did not mean them.
bool OutFolderExists(const Text& outFolder, FileSystem& fileSystem, CliOutput& output);

// The --out folder with a separator to put file names behind. The separator is the one the folder
// already uses, so '/tmp/out' gives '/tmp/out/...'; a folder without one ('out') takes the system's
// own, so the printed path is the path of the file written.
Text FolderPrefix(const Text& folder);

// Writes the catalogue file of every library of `load` into `outFolder` as "Save XML" writes it, in
// load order; prints each path written and names on stderr each file not written. Returns how many
// files were written.
int WriteCatalogueFiles(const Catalogue& catalogue, const LoadOutcome& load, const Text& outFolder,
                        FileSystem& files, Clock& clock, CliOutput& output);

}  // namespace korvane
