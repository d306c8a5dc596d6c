// How much of real import libraries the offline documentation set answers: for each library, the share
// of functions that get a return type from a lookup over the set, and a sample of those that do not.
//
//   korvane_docs_coverage Korvane.docs /usr/x86_64-w64-mingw32/lib/libkernel32.a ...
//
// Every function is looked up as the batch does with its skip option: in list order, skipping a record
// that an earlier lookup has filled already (a pair's generic lookup fills its ANSI and wide forms).

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/library_loader.h"
#include "docs/docs_file.h"
#include "docs/offline_page_source.h"
#include "lookup/lookup_machine.h"

namespace korvane {
namespace {

std::vector<std::uint8_t> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// 'libkernel32.a' → 'kernel32'.
Text LibraryKey(std::string_view path) {
  path.remove_prefix(path.find_last_of('/') + 1);
  if (path.starts_with("lib")) path.remove_prefix(3);
  return Utf8ToText(path.substr(0, path.find('.')));
}

void RunLookup(OfflinePageSource& source, LibraryEntry& entry, std::size_t record, TextView key) {
  const LookupEndpoints endpoints;
  const LookupStart start = StartLookup(entry, record, endpoints);
  source.Navigate(start.address);
  LookupProgress progress = start.progress;
  for (int loads = 0; progress.state != LookupState::Idle && loads < 5; ++loads) {
    const LookupOutcome outcome =
        LookupStep(progress, LoadedPage{false, source.PageText(), {}, {}}, entry, key, record, true, endpoints);
    if (!outcome.navigate.empty()) source.Navigate(outcome.navigate);
    progress = outcome.progress;
  }
}

int Run(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: korvane_docs_coverage SET LIBRARY...\n", stderr);
    return 2;
  }
  auto set = ReadDocumentationSet(ReadFile(argv[1]));
  if (!set) {
    std::fprintf(stderr, "%s: not a documentation set\n", argv[1]);
    return 1;
  }
  const auto shared = std::make_shared<const DocumentationSet>(std::move(*set));
  OfflinePageSource source(shared, nullptr);
  for (int i = 2; i < argc; ++i) {
    LibraryEntry entry = ReadLibrary(ReadFile(argv[i]), Utf8ToText(argv[i])).entry;
    const Text key = LibraryKey(argv[i]);
    for (std::size_t r = 0; r < entry.functions.size(); ++r) {
      if (entry.functions[r].Return.empty()) RunLookup(source, entry, r, key);
    }
    std::size_t answered = 0;
    std::string misses;
    std::size_t shown = 0;
    for (const ApiFunction& record : entry.functions) {
      if (!record.Return.empty()) {
        ++answered;
      } else if (shown++ < 25) {
        misses += ' ';
        misses += TextToUtf8(record.Function);
      }
    }
    const std::size_t total = entry.functions.size();
    std::printf("%-14s %5zu of %5zu functions (%5.1f %%) get a return type\n  not answered:%s\n",
                TextToUtf8(key).c_str(), answered, total, total == 0 ? 0.0 : 100.0 * double(answered) / double(total),
                misses.c_str());
  }
  return 0;
}

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) { return korvane::Run(argc, argv); }
