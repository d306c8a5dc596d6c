#include "cli/lookup_command.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "cli/command_args.h"
#include "cli/input_files.h"
#include "docs/docs_file_load.h"
#include "docs/offline_page_source.h"
#include "platform/http_page_source.h"
#include "text/text_ops.h"

namespace korvane {

const std::string_view kLookupUsage =
    "Usage: korvane-cli lookup --search-base URL --library-base URL [--no-skip] --out DIR [--] FILE...\n"
    "       korvane-cli lookup --docs DOCSFILE [--no-skip] --out DIR [--] FILE...\n"
    "\n"
    "Reads FILE... as list does, looks up every checked function of every library read, one after\n"
    "the other and in load order, in the documentation: the search service at URL of --search-base\n"
    "(\"<URL>/search/en-us?query=...\") and the reference pages under URL of --library-base\n"
    "(\"<URL>/en-us/library/...\"). Functions that already have a return type are skipped unless\n"
    "--no-skip. Then writes one catalogue file per library into the existing folder DIR, as\n"
    "catalogue does, and prints the path of each file written. On a terminal, stderr shows the\n"
    "progress. With --docs, the pages come from the documentation set DOCSFILE (Korvane.docs),\n"
    "answered in process, instead of from the network.\n"
    "\n"
    "Exit status: 0 when every lookup ran, 1 when a page did not load (the lookups stop there,\n"
    "the page's address and the reason are named on stderr, and what was looked up is still\n"
    "written) or nothing could be read or written, 2 for a usage error.\n";
namespace {


struct LookupArgs {
  LookupEndpoints endpoints;
  bool skipFilled = true;
  Text outFolder;
  Text docsFile;  // with --docs: the documentation set that answers the pages
  std::vector<Text> files;
  bool help = false;
  std::string error;
};

// The bases are joined to fixed paths that begin with "/", so a base's own trailing "/" goes.
std::optional<Text> WebBase(const Text& value) {
  const Text lower = LowerCase(value);
  if (!lower.starts_with(u"http://") && !lower.starts_with(u"https://")) return std::nullopt;
  Text base = value;
  while (base.ends_with(u'/')) base.pop_back();
  if (base.size() <= lower.find(u"//") + 2) return std::nullopt;
  return base;
}

// --no-skip takes no value, which the shared parser does not know: it is taken out first.
LookupArgs ParseLookupArgs(std::span<const Text> args) {
  LookupArgs result;
  static constexpr std::array<TextView, 1> kFlags = {u"--no-skip"};
  static constexpr std::array<TextView, 4> kValueOptions = {u"--search-base", u"--library-base", u"--out",
                                                            u"--docs"};
  const SpecialOptionsTaken special = TakeSpecialOptions(args, {kFlags, {}, kValueOptions});
  if (!special.flags.empty()) result.skipFilled = false;
  const CommandArgs parsed = ParseCommandArgs(special.rest, kValueOptions);
  result.help = parsed.help;
  result.error = parsed.error;
  if (result.help || !result.error.empty()) return result;
  std::vector<Text> seen;
  for (const auto& [name, value] : parsed.options) {
    const std::string option = TextToUtf8(name);
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
      result.error = "lookup takes one " + option;
      return result;
    }
    seen.push_back(name);
    if (name == u"--out") {
      result.outFolder = value;
      continue;
    }
    if (name == u"--docs") {
      result.docsFile = value;
      continue;
    }
    const std::optional<Text> base = WebBase(value);
    if (!base) {
      result.error = "option '" + option + "' needs an http:// or https:// address";
      return result;
    }
    (name == u"--search-base" ? result.endpoints.searchBase : result.endpoints.libraryBase) = *base;
  }
  const auto given = [&seen](TextView option) { return std::find(seen.begin(), seen.end(), option) != seen.end(); };
  if (given(u"--docs") && (given(u"--search-base") || given(u"--library-base"))) {
    result.error = "--docs replaces --search-base and --library-base";
    return result;
  }
  const std::array<TextView, 3> needed = {u"--search-base", u"--library-base", u"--out"};
  for (const TextView option : needed) {
    if (option != u"--out" && given(u"--docs")) continue;
    if (!given(option)) {
      result.error = "lookup needs " + TextToUtf8(option) + (option == u"--out" ? " DIR" : " URL");
      return result;
    }
  }
  result.files = parsed.files;
  if (result.files.empty()) result.error = "lookup needs at least one FILE";
  return result;
}

std::size_t CharacterCount(std::string_view utf8) {
  return static_cast<std::size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Draws the progress on a terminal: each line replaces the one before (carriage return, then blanks
// over what the longer line before left), and the last one is ended by a line feed.
class ProgressDisplay {
 public:
  ProgressDisplay(const CliOutput& output, Clock& clock)
      : live_(output.live), columns_(output.liveColumns), clock_(clock), start_(clock.MonotonicMilliseconds()) {}

  void Show(const BatchProgress& progress) {
    if (!live_) return;
    std::string line = "\r";
    line += FitProgressLine(progress, clock_.MonotonicMilliseconds() - start_, columns_);
    const std::size_t length = CharacterCount(line) - 1;  // without the carriage return
    if (length < shown_) line.append(shown_ - length, ' ');
    shown_ = length;
    live_(line);
  }
  void End() {
    if (live_ && shown_ != 0) live_("\n");
  }

 private:
  const std::function<void(std::string_view)>& live_;
  std::size_t columns_;
  Clock& clock_;
  std::int64_t start_;
  std::size_t shown_ = 0;
};

std::string FailureLine(const BatchResult& result, const std::vector<LoadedFile>& libraries) {
  Text library = result.failedKey;
  for (const LoadedFile& file : libraries) {
    if (file.key == result.failedKey) library = file.path;
  }
  return "korvane-cli: lookup of " + TextToUtf8(result.failedFunction) + " (" + TextToUtf8(library) +
         ") stopped: " + TextToUtf8(result.failure->address) + ": " + TextToUtf8(result.failure->reason) + "\n";
}

std::vector<Text> LibraryKeys(const std::vector<LoadedFile>& libraries) {
  std::vector<Text> keys;
  for (const LoadedFile& library : libraries) keys.push_back(library.key);
  return keys;
}

}  // namespace

std::string FitProgressLine(const BatchProgress& progress, std::int64_t elapsedMilliseconds, std::size_t columns) {
  std::string line = ProgressLine(progress, elapsedMilliseconds);
  if (columns < 2) return line;
  const std::size_t room = columns - 1;
  const std::size_t characters = CharacterCount(line);
  if (characters > room && !progress.current.empty()) {
    const std::size_t over = characters - room + 1;  // one more for the "~"
    BatchProgress shorter = progress;
    shorter.current = progress.current.size() > over ? progress.current.substr(0, progress.current.size() - over) + u"~"
                                                     : Text(u"~");
    line = ProgressLine(shorter, elapsedMilliseconds);
  }
  return FitToColumns(std::move(line), room);
}

std::string ProgressLine(const BatchProgress& progress, std::int64_t elapsedMilliseconds) {
  constexpr std::size_t kWidth = 20;
  const int total = std::max(progress.total, 0);
  const int done = std::clamp(progress.done, 0, total);
  const std::size_t filled =
      total == 0 ? kWidth : static_cast<std::size_t>(done) * kWidth / static_cast<std::size_t>(total);
  std::string line = "[";
  line.append(filled, '#').append(kWidth - filled, '.').append("] ");
  line.append(std::to_string(done)).append("/").append(std::to_string(total));
  if (!progress.current.empty()) line.append(" ").append(TextToUtf8(progress.current));
  line.append("  ").append(ClockText(elapsedMilliseconds)).append(" elapsed, ");
  if (done == total) {
    line += "00:00:00";
  } else if (done == 0) {
    line += "--:--:--";
  } else {
    line += ClockText(EstimatedTotalMilliseconds({done, total, {}}, elapsedMilliseconds) - elapsedMilliseconds);
  }
  return line + " left";
}

int RunLookupCli(std::span<const Text> args, FileSystem& files, Clock& clock, CliOutput& output) {
  const LookupArgs parsed = ParseLookupArgs(args);
  if (parsed.help) {
    output.out += kLookupUsage;
    return kExitSuccess;
  }
  if (!parsed.error.empty()) return UsageError(output, parsed.error);
  if (!OutFolderExists(parsed.outFolder, files, output)) return kExitFailure;
  Catalogue catalogue;
  const InputLoad load = LoadInputFiles(catalogue, files, parsed.files);
  output.err += load.diagnostics;
  if (load.outcome.libraries.empty()) return kExitFailure;

  // The page source is the one thing that decides where pages come from.
  PageLoadQueue loads;
  std::unique_ptr<PageSource> source;
  if (parsed.docsFile.empty()) {
    source = MakeHttpPageSource(loads.Handler(), kHttpTimeout);
  } else {
    DocsLoadError error = DocsLoadError::None;
    std::shared_ptr<const DocumentationSet> set = LoadDocumentationSetFile(files, parsed.docsFile, &error);
    if (!set) {
      output.err += "korvane-cli: " + TextToUtf8(parsed.docsFile) +
                    (error == DocsLoadError::Unreadable ? ": cannot read the documentation set\n"
                                                        : ": not a documentation set (or a later version)\n");
      return kExitFailure;
    }
    source = std::make_unique<OfflinePageSource>(std::move(set), loads.Handler());
  }
  ProgressDisplay display(output, clock);
  const BatchResult batch =
      RunLookupBatch(catalogue, LibraryKeys(load.outcome.libraries), parsed.endpoints, parsed.skipFilled, *source, loads,
                     [&display](const BatchProgress& where) { display.Show(where); });
  display.End();
  if (batch.failure) output.err += FailureLine(batch, load.outcome.libraries);
  const int written = WriteCatalogueFiles(catalogue, load.outcome, parsed.outFolder, files, clock, output);
  const bool allWritten = written == static_cast<int>(load.outcome.libraries.size());
  return !batch.failure && allWritten ? kExitSuccess : kExitFailure;
}

}  // namespace korvane
