#include "cli/export_command.h"

#include <array>
#include <vector>

#include "cli/command_args.h"
#include "cli/input_files.h"
#include "export/export.h"
#include "export/listing.h"

namespace korvane {

const std::string_view kExportUsage =
    "Usage: korvane-cli export --root DIR [--annotations convert|keep|remove] [--template TEXT]\n"
    "                          [--no-listing] [--] FILE...\n"
    "\n"
    "Reads FILE... as list does and installs every library read into the installation DIR:\n"
    "the library file goes to PureLibraries/Windows/Libraries/, its descriptor to\n"
    "PureLibraries/Windows/, and unless --no-listing its functions are merged into\n"
    "Compilers/APIFunctionListing.txt with parameter lists converted as --annotations says\n"
    "(default convert) and descriptions built from --template (default\n"
    "\"  %RET%  |  %DSC%  |  %GRP%  |  %WEB%\"). Prints each file written, one per line.\n"
    "\n"
    "Exit status: 0 when the export ran without a failure, 1 when DIR is not a folder or\n"
    "anything failed (each failure on stderr), 2 for a usage error.\n";
namespace {


struct ExportArgs {
  ExportOptions options;
  std::vector<Text> files;
  bool help = false;
  std::string error;
};

// --no-listing has no value, and the value of --template is free text that may be empty or begin with
// "-": both are taken out before the shared parser sees the rest.
ExportArgs ParseExportArgs(std::span<const Text> args) {
  ExportArgs result;
  result.options.descriptionTemplate = Text(kDefaultDescriptionTemplate);
  static constexpr std::array<TextView, 1> kFlags = {u"--no-listing"};
  static constexpr std::array<TextView, 1> kFreeValues = {u"--template"};
  static constexpr std::array<TextView, 2> kValueOptions = {u"--root", u"--annotations"};
  const SpecialOptionsTaken special = TakeSpecialOptions(args, {kFlags, kFreeValues, kValueOptions});
  if (!special.error.empty()) {
    result.error = special.error;
    return result;
  }
  if (!special.flags.empty()) result.options.updateListing = false;
  for (const auto& [name, value] : special.freeValues) result.options.descriptionTemplate = value;
  const CommandArgs parsed = ParseCommandArgs(special.rest, kValueOptions);
  result.help = parsed.help;
  result.error = parsed.error;
  if (parsed.help || !parsed.error.empty()) return result;
  bool haveRoot = false;
  for (const auto& [name, value] : parsed.options) {
    if (name == u"--root") {
      if (haveRoot) result.error = "export takes one --root";
      result.options.root = value;
      haveRoot = true;
    } else if (value == u"convert") {
      result.options.mode = AnnotationMode::Convert;
    } else if (value == u"keep") {
      result.options.mode = AnnotationMode::Keep;
    } else if (value == u"remove") {
      result.options.mode = AnnotationMode::Remove;
    } else {
      result.error = "--annotations takes convert, keep or remove";
    }
  }
  if (result.error.empty() && !haveRoot) result.error = "export needs --root DIR";
  if (result.error.empty() && parsed.files.empty()) result.error = "export needs at least one FILE";
  result.files = parsed.files;
  return result;
}

// A path as the system writes it: the installation's folder names are built with "\", which is "/"
// everywhere but on Windows.
std::string SystemPath(const Text& path) {
  std::string text = TextToUtf8(path);
#ifndef _WIN32
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
#endif
  return text;
}

}  // namespace

int RunExportCli(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  const ExportArgs parsed = ParseExportArgs(args);
  if (parsed.help) {
    output.out += kExportUsage;
    return kExitSuccess;
  }
  if (!parsed.error.empty()) return UsageError(output, parsed.error);

  Catalogue catalogue;
  const InputLoad load = LoadInputFiles(catalogue, files, parsed.files);
  output.err += load.diagnostics;
  if (load.outcome.libraries.empty()) return kExitFailure;  // the installation is not touched
  // Every library read counts as a ticked row of the window's Libraries list, in load order.
  std::vector<const LibraryEntry*> libraries;
  for (const LoadedFile& input : load.outcome.libraries) {
    if (const LibraryEntry* entry = catalogue.Find(input.key)) libraries.push_back(entry);
  }
  const ExportResult result = ExportToPureBasic(files, libraries, parsed.options);
  for (const Text& path : result.written) output.out += SystemPath(path) + "\n";
  for (const ExportFailure& failure : result.failures) {
    output.err += "korvane-cli: " + SystemPath(failure.path) + ": " + TextToUtf8(failure.reason) + "\n";
  }
  return result.rootIsFolder && result.failures.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace korvane
