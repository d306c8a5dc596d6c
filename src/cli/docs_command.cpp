// `korvane-cli docs build --headers DIR... [--reference DIR] --out FILE`: builds the offline
// documentation set from C headers (libclang, Linux build only) and a local copy of the API reference.
// `korvane-cli docs serve [--port N] FILE`: serves the set's pages over HTTP on 127.0.0.1.

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <map>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/cli.h"
#include "cli/command_args.h"
#include "cli/docs_server.h"
#include "docs/docs_file.h"
#include "docs/served_pages.h"
#ifdef KORVANE_DOCS_BUILD
#include "docs/set_builder/set_builder.h"
#endif

namespace korvane {

const std::string_view kDocsUsage =
    "Usage: korvane-cli docs build --headers DIR... [--reference DIR] --out FILE\n"
    "\n"
    "Reads every function prototype of windows.h and of each \".h\" file directly in each header folder\n"
    "DIR (the first declaration of a name wins) and, with --reference, the function pages of a local\n"
    "copy of the Win32 API reference in Markdown (descriptions, parameter directions, groups), and\n"
    "writes the documentation set FILE (normally \"Korvane.docs\"). Prints the number of functions and\n"
    "groups written. Available in the Linux build only.\n"
    "\n"
    "Usage: korvane-cli docs serve [--port N] FILE\n"
    "\n"
    "Serves the pages of the documentation set FILE over HTTP on 127.0.0.1, port N (a free one for 0,\n"
    "the default), in Windows-1252 (other characters as numeric character references), until it is\n"
    "interrupted. Prints the server's address first.\n";
namespace {


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
  // A reference folder that is not there is a mistake to name, not a set to build without it.
  if (!request.referenceFolder.empty() && !files.FolderExists(request.referenceFolder)) {
    output.err += "korvane-cli: " + TextToUtf8(request.referenceFolder) +
                  (files.FileExists(request.referenceFolder) ? ": is not a folder\n" : ": does not exist\n");
    return kExitFailure;
  }
  std::vector<HeaderPrototype> prototypes;
  std::vector<std::string> problems;
  std::map<Text, TypeFacts> typedefs;  // the first folder that names a typedef wins
  std::string cTypes;                  // the first folder's types that has any
  for (const Text& folder : request.headerFolders) {
    HeaderScan scan = ScanHeaders(TextToUtf8(folder));
    typedefs.insert(scan.typedefs.begin(), scan.typedefs.end());
    if (cTypes.empty()) cTypes = SetTypesText(scan);
    prototypes.insert(prototypes.end(), scan.prototypes.begin(), scan.prototypes.end());
    problems.insert(problems.end(), scan.problems.begin(), scan.problems.end());
  }
  ReferenceImport reference;
  if (!request.referenceFolder.empty()) reference = ReadReference(TextToUtf8(request.referenceFolder));
  problems.insert(problems.end(), reference.problems.begin(), reference.problems.end());
  for (const std::string& problem : problems) output.err += "korvane-cli: " + problem + "\n";
  DocumentationSet set = BuildDocumentationSet(prototypes, reference, typedefs);
  set.cTypes = std::move(cTypes);
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

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void RequestStop(int /*signal*/) { stopRequested = 1; }

// The port: a decimal number from 0 to 65535.
std::optional<int> ParsePort(TextView text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    port = port * 10 + (c - u'0');
  }
  return port <= 65535 ? std::optional<int>(port) : std::nullopt;
}

// Runs until SIGINT or SIGTERM. The address goes to stdout at once, before the output collected for
// the end, since whoever started the server waits for it.
int RunDocsServe(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  static constexpr std::array<TextView, 1> kValueOptions = {u"--port"};
  const CommandArgs parsed = ParseCommandArgs(args, kValueOptions);
  if (parsed.help) return output.out += kDocsUsage, kExitSuccess;
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  if (parsed.files.size() != 1) return UsageError(output, "docs serve needs one documentation set FILE");
  int port = 0;
  for (const auto& [name, value] : parsed.options) {
    const auto number = ParsePort(value);
    if (!number) return UsageError(output, "docs serve: '" + TextToUtf8(value) + "' is no port number");
    port = *number;
  }
  const Text& path = parsed.files[0];
  const FileContent content = files.ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) {
    output.err += "korvane-cli: " + TextToUtf8(path) + ": could not be read\n";
    return kExitFailure;
  }
  auto set = ReadDocumentationSet(content.bytes);
  if (!set) {
    output.err += "korvane-cli: " + TextToUtf8(path) + ": not a documentation set\n";
    return kExitFailure;
  }
  stopRequested = 0;
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  auto server = StartDocsServer(std::make_shared<const DocumentationSet>(std::move(*set)), port);
  if (!server) {
    output.err += "korvane-cli: port " + std::to_string(port) + " cannot be had\n";
    return kExitFailure;
  }
  std::fputs((server->Address("/") + "\n").c_str(), stdout);
  std::fflush(stdout);
  while (stopRequested == 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  server->Stop();
  return kExitSuccess;
}

}  // namespace

std::unique_ptr<LocalHttpServer> StartDocsServer(std::shared_ptr<const DocumentationSet> set, int port) {
  // The links name the port, which is known only once the server listens.
  auto base = std::make_shared<std::atomic<int>>(0);
  auto server = LocalHttpServer::Start(
      [set, base](const std::string& target) {
        const Text address = u"http://127.0.0.1:" + DecimalText(base->load());
        ServedPage page = ServePage(*set, address, target);
        return HttpReply{page.status, std::move(page.body), {{"Content-Type", "text/html; charset=windows-1252"}}, false};
      },
      port);
  if (server) base->store(server->Port());
  return server;
}

int RunDocsCommand(std::span<const Text> args, FileSystem& files, CliOutput& output) {
  if (args.empty() || args[0] == u"--help" || args[0] == u"-h") {
    if (args.empty()) return UsageError(output, "docs needs a subcommand: build or serve");
    output.out += kDocsUsage;
    return kExitSuccess;
  }
  if (args[0] == u"serve") return RunDocsServe(args.subspan(1), files, output);
  if (args[0] != u"build") return UsageError(output, "unknown docs subcommand '" + TextToUtf8(args[0]) + "'");
  int status = kExitSuccess;
  const auto request = ParseBuildArgs(args.subspan(1), output, status);
  if (!request) return status;
  return RunDocsBuild(*request, files, output);
}

}  // namespace korvane
