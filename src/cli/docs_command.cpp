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
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "docs/set_builder/set_builder.h"
#include "platform/file_system.h"
#endif

namespace korvane {

const std::string_view kDocsUsage =
    "Usage: korvane-cli docs build --headers DIR... [--reference DIR] --out FILE\n"
    "\n"
    "Reads every function prototype of windows.h and of each \".h\" file in each header folder DIR and\n"
    "its subfolders (the first declaration of a name wins) and, with --reference, the function pages of a\n"
    "local copy of the Win32 API reference in Markdown (descriptions, parameter directions, groups), and\n"
    "writes the documentation set FILE (normally \"Korvane.docs\"). Only regular files are read. Before\n"
    "parsing, every argument and input is checked: a folder that does not exist, an --out that is a\n"
    "folder, lies in a folder that does not exist or is a header or page the build reads, and every\n"
    "header or page that cannot be read (a pipe, a device, no permission, a quote or control character\n"
    "in a header's name) is named, and nothing is written (exit status 1). Prints the number of functions\n"
    "and groups written, then the headers that gave no function. Removes the temporaries of FILE that a\n"
    "killed build left behind. Available in the Linux build only.\n"
    "\n"
    "Usage: korvane-cli docs serve [--port N] FILE\n"
    "\n"
    "Serves the pages of the documentation set FILE over HTTP on 127.0.0.1, port N (a free one for 0,\n"
    "the default), in Windows-1252 (other characters as numeric character references), until it is\n"
    "interrupted. Prints the server's address first. A connection has 5 seconds to send its request and\n"
    "10 to take its reply; an idle or slow client holds up no other.\n";
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
// What is wrong with a folder argument; empty when it is a folder.
std::string FolderProblem(const Text& folder) {
  std::error_code error;
  const auto status = std::filesystem::status(TextToUtf8(folder), error);
  if (status.type() == std::filesystem::file_type::directory) return {};
  if (status.type() == std::filesystem::file_type::not_found) return TextToUtf8(folder) + ": does not exist";
  if (error) return TextToUtf8(folder) + ": cannot be reached (" + error.message() + ")";
  return TextToUtf8(folder) + ": is not a folder";
}

// Whether `inner` lies below `folder` (both canonical).
bool Below(const std::filesystem::path& inner, const std::filesystem::path& folder) {
  const auto relative = inner.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

std::filesystem::path Canonical(const Text& path) {
  std::error_code error;
  const auto canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(TextToUtf8(path), error), error);
  return error ? std::filesystem::absolute(TextToUtf8(path), error).lexically_normal() : canonical;
}

// What is wrong with the --out argument: a folder, a file in a folder that does not exist, or a file
// the build itself reads (a header of a header folder, a page or index of the reference).
std::string OutProblem(const DocsBuildRequest& request) {
  const std::string out = TextToUtf8(request.outFile);
  std::error_code error;
  if (std::filesystem::is_directory(out, error)) return out + ": is a folder";
  const std::filesystem::path target = Canonical(request.outFile);
  const std::filesystem::path parent = target.parent_path();
  if (!std::filesystem::is_directory(parent, error)) return out + ": its folder " + parent.string() + " does not exist";
  std::string name = target.filename().string();
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  for (const Text& folder : request.headerFolders) {
    if (Below(target, Canonical(folder)) && name.ends_with(".h")) return out + ": is a header that the build reads";
  }
  const bool page = name == "index.md" || (name.starts_with("nf-") && name.ends_with(".md"));
  if (!request.referenceFolder.empty() && Below(target, Canonical(request.referenceFolder)) && page) {
    return out + ": is a reference page that the build reads";
  }
  return {};
}

// Temporaries that an earlier build of this set left behind when it was killed before renaming its
// temporary over the set. One that was written to in the last two minutes may belong to a build still
// running (a build writes its set in seconds), so it stays.
void RemoveStaleTemporaries(const Text& outFile) {
  // Beside the path as given, where the write puts its temporary (a link is replaced, not followed).
  std::error_code absoluteError;
  const std::filesystem::path target = std::filesystem::absolute(TextToUtf8(outFile), absoluteError).lexically_normal();
  const std::string prefix = target.filename().string() + TextToUtf8(kTemporaryFileMark);
  const auto cutoff = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2);
  std::error_code error;
  for (std::filesystem::directory_iterator it(target.parent_path(), error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    std::error_code statusError;
    if (!name.starts_with(prefix) || !IsTemporaryFileName(Utf8ToText(name)) || !it->is_regular_file(statusError) ||
        it->last_write_time(statusError) > cutoff || statusError) {
      continue;
    }
    std::filesystem::remove(it->path(), statusError);
  }
}

// The names of the headers that gave no function, on one line.
std::string SilentHeadersLine(const std::vector<Text>& headers) {
  std::string line = std::to_string(headers.size()) + " headers gave no function:";
  for (const Text& header : headers) {
    line += ' ';
    line += TextToUtf8(header);
  }
  line += '\n';
  return line;
}

// Every argument and every input is checked before the headers are parsed (the long part): a build
// that would skip an input, or overwrite one, writes nothing and says why.
int RunDocsBuild(const DocsBuildRequest& request, FileSystem& files, CliOutput& output) {
  std::vector<std::string> problems;
  for (const Text& folder : request.headerFolders) {
    if (std::string problem = FolderProblem(folder); !problem.empty()) problems.push_back(std::move(problem));
  }
  // The reference folder is checked as the file system at hand sees it, as it always was.
  if (!request.referenceFolder.empty() && !files.FolderExists(request.referenceFolder)) {
    problems.push_back(TextToUtf8(request.referenceFolder) +
                       (files.FileExists(request.referenceFolder) ? ": is not a folder" : ": does not exist"));
  }
  if (std::string problem = OutProblem(request); !problem.empty()) problems.push_back(std::move(problem));
  ReferenceImport reference;
  if (problems.empty()) {
    for (const Text& folder : request.headerFolders) {
      const HeaderFiles headers = FindHeaders(TextToUtf8(folder));
      problems.insert(problems.end(), headers.problems.begin(), headers.problems.end());
    }
    if (!request.referenceFolder.empty()) reference = ReadReference(TextToUtf8(request.referenceFolder));
    problems.insert(problems.end(), reference.problems.begin(), reference.problems.end());
  }
  std::vector<HeaderPrototype> prototypes;
  std::map<Text, TypeFacts> typedefs;  // the first folder that names a typedef wins
  std::string cTypes;  // the first folder's types that has any
  std::vector<Text> silentHeaders;
  for (std::size_t i = 0; i < request.headerFolders.size() && problems.empty(); ++i) {
    HeaderScan scan = ScanHeaders(TextToUtf8(request.headerFolders[i]));
    typedefs.insert(scan.typedefs.begin(), scan.typedefs.end());
    if (cTypes.empty()) cTypes = SetTypesText(scan);
    prototypes.insert(prototypes.end(), scan.prototypes.begin(), scan.prototypes.end());
    problems.insert(problems.end(), scan.problems.begin(), scan.problems.end());
    silentHeaders.insert(silentHeaders.end(), scan.silentHeaders.begin(), scan.silentHeaders.end());
  }
  if (!problems.empty()) {
    for (const std::string& problem : problems) output.err += "korvane-cli: " + problem + "\n";
    output.err += "korvane-cli: nothing written\n";
    return kExitFailure;
  }
  DocumentationSet set = BuildDocumentationSet(prototypes, reference, typedefs);
  set.cTypes = std::move(cTypes);
  if (FunctionCount(set) == 0) {
    output.err += "korvane-cli: no function prototype found; nothing written\n";
    return kExitFailure;
  }
  RemoveStaleTemporaries(request.outFile);
  const std::string bytes = WriteDocumentationSet(set);
  if (!files.WriteWholeFile(request.outFile, AsBytes(bytes))) {
    output.err += "korvane-cli: " + TextToUtf8(request.outFile) + ": could not be written\n";
    return kExitFailure;
  }
  output.out += std::to_string(FunctionCount(set)) + " functions in " + std::to_string(set.groups.size()) +
                " groups written to " + TextToUtf8(request.outFile) + "\n";
  if (!silentHeaders.empty()) output.out += SilentHeadersLine(silentHeaders);
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
  // The port's value is taken whatever it looks like, so that "--port -1" is named as no port number.
  static constexpr std::array<TextView, 1> kPortOption = {u"--port"};
  const SpecialOptionsTaken taken = TakeSpecialOptions(args, SpecialOptions{{}, kPortOption, {}});
  const CommandArgs parsed = ParseCommandArgs(taken.rest, {});
  if (parsed.help) return output.out += kDocsUsage, kExitSuccess;
  if (!taken.error.empty()) return UsageError(output, taken.error);
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  if (taken.freeValues.size() > 1) return UsageError(output, "docs serve takes one --port");
  if (parsed.files.size() != 1) return UsageError(output, "docs serve needs one documentation set FILE");
  int port = 0;
  for (const auto& [name, value] : taken.freeValues) {
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
