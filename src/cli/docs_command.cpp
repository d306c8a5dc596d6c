// `korvane-cli docs build --headers DIR... [--reference DIR] --out FILE`: builds the offline
// documentation set from C headers (libclang, Linux build only) and a local copy of the API reference.

#include <array>
#include <string>

#include "cli/cli.h"
#include "cli/command_args.h"
#include "docs/docs_file.h"
#ifdef KORVANE_DOCS_BUILD
#include "docs/build/set_builder.h"
#endif

namespace korvane {
namespace {

constexpr std::string_view kDocsUsage =
    "Usage: korvane-cli docs build --headers DIR... [--reference DIR] --out FILE\n"
    "\n"
    "Reads every function prototype of windows.h and of each \".h\" file directly in each header folder\n"
    "DIR (the first declaration of a name wins) and, with --reference, the function pages of a local\n"
    "copy of the Win32 API reference in Markdown (descriptions, parameter directions, groups), and\n"
    "writes the documentation set FILE (normally \"Korvane.docs\"). Prints the number of functions and\n"
    "groups written. Available in the Linux build only.\n";

struct DocsBuildRequest {
  std::vector<Text> headerFolders;
  Text referenceFolder;
  Text outFile;
};

// Further arguments after "--headers DIR" are header folders as well.
std::optional<DocsBuildRequest> ParseBuildArgs(std::span<const Text> args, CliOutput& output, int& status) {
  static constexpr std::array<TextView, 3> kValueOptions = {u"--headers", u"--reference", u"--out"};
  const CommandArgs parsed = ParseCommandArgs(args, kValueOptions);
  if (parsed.help) {
    output.out += kDocsUsage;
    status = kExitSuccess;
    return std::nullopt;
  }
  status = kExitUsage;
  if (!parsed.error.empty()) return UsageError(output, parsed.error), std::nullopt;
  DocsBuildRequest request;
  for (const auto& [name, value] : parsed.options) {
    if (name == u"--headers") request.headerFolders.push_back(value);
    if ((name == u"--reference" && !request.referenceFolder.empty()) || (name == u"--out" && !request.outFile.empty())) {
      return UsageError(output, "docs build takes one " + TextToUtf8(name)), std::nullopt;
    }
    if (name == u"--reference") request.referenceFolder = value;
    if (name == u"--out") request.outFile = value;
  }
  if (request.headerFolders.empty()) return UsageError(output, "docs build needs --headers DIR"), std::nullopt;
  if (request.outFile.empty()) return UsageError(output, "docs build needs --out FILE"), std::nullopt;
  request.headerFolders.insert(request.headerFolders.end(), parsed.files.begin(), parsed.files.end());
  return request;
}

#ifdef KORVANE_DOCS_BUILD
int RunDocsBuild(const DocsBuildRequest& request, FileSystem& files, CliOutput& output) {
  std::vector<HeaderPrototype> prototypes;
  std::vector<std::string> problems;
  for (const Text& folder : request.headerFolders) {
    HeaderScan scan = ScanHeaders(TextToUtf8(folder));
    prototypes.insert(prototypes.end(), scan.prototypes.begin(), scan.prototypes.end());
    problems.insert(problems.end(), scan.problems.begin(), scan.problems.end());
  }
  ReferenceImport reference;
  if (!request.referenceFolder.empty()) reference = ReadReference(TextToUtf8(request.referenceFolder));
  problems.insert(problems.end(), reference.problems.begin(), reference.problems.end());
  for (const std::string& problem : problems) output.err += "korvane-cli: " + problem + "\n";
  const DocumentationSet set = BuildDocumentationSet(prototypes, reference);
  if (FunctionCount(set) == 0) {
    output.err += "korvane-cli: no function prototype found; nothing written\n";
    return kExitFailure;
  }
  const std::string bytes = WriteDocumentationSet(set);
  if (!files.WriteWholeFile(request.outFile, AsBytes(bytes))) {
    output.err += "korvane-cli: " + TextToUtf8(request.outFile) + ": could not be written\n";
    return kExitFailure;
  }
  output.out += std::to_string(FunctionCount(set)) + " functions in " + std::to_string(set.groups.size()) +
                " groups written to " + TextToUtf8(request.outFile) + "\n";
  return kExitSuccess;
}
#else
int RunDocsBuild(const DocsBuildRequest& /*request*/, FileSystem& /*files*/, CliOutput& output) {
  output.err += "korvane-cli: docs build is available in the Linux build only\n";
  return kExitFailure;
}
#endif

}  // namespace

int RunDocsCommand(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  if (args.empty() || args[0] == u"--help" || args[0] == u"-h") {
    if (args.empty()) return UsageError(output, "docs needs a subcommand: build");
    output.out += kDocsUsage;
    return kExitSuccess;
  }
  if (args[0] != u"build") return UsageError(output, "unknown docs subcommand '" + TextToUtf8(args[0]) + "'");
  int status = kExitSuccess;
  const auto request = ParseBuildArgs(args.subspan(1), output, status);
  if (!request) return status;
  return RunDocsBuild(*request, files, output);
}

}  // namespace korvane
