#pragma once
// The command line: korvane-cli COMMAND ARGS. Output is collected as UTF-8 with LF line ends; the entry
// point writes it unchanged.

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/shell.h"
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
};

// Runs the command line on `args` (without the program name). `clock` stamps the names of the
// catalogue files written.
int RunCli(const std::vector<Text>& args, FileSystem& files, Clock& clock, CliOutput& output);

// RunCli on the disk's file system and the system's local clock, writing the output to stdout and
// stderr unchanged. A failed write of stdout turns success into failure.
int RunCliOnConsole(const std::vector<Text>& args);

// Appends a usage error and the hint to --help to stderr; returns kExitUsage.
int UsageError(CliOutput& output, std::string_view message);

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

}  // namespace korvane
