// Speed of saving and loading catalogue files of 10,000 and 20,000 functions with values of the size
// the lookup fills in (parameter lists, a sentence or two of description, a group, a reference
// address). The report fits the growth to N; both directions should be linear.

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "catalogue/catalogue_xml.h"

namespace korvane {
namespace {

constexpr std::array<const char*, 8> kVerbs = {"Get", "Set", "Create", "Destroy", "Enum", "Query", "Open", "Find"};
constexpr std::array<const char*, 8> kNouns = {"WindowText", "ClassInfo", "DeviceContext", "MenuItem",
                                               "Clipboard",  "Registry",  "ProcessToken",  "FileMapping"};

ApiFunction Record(std::size_t i) {
  const std::string stem = std::string(kVerbs[i % kVerbs.size()]) + kNouns[(i / kVerbs.size()) % kNouns.size()] +
                           std::to_string(i / (kVerbs.size() * kNouns.size()));
  ApiFunction record;
  const bool pair = i % 3 == 0;
  record.Function = T(stem + (pair ? "W" : ""));
  record.Parameters = u"HWND hWnd, LPWSTR lpString, int nMaxCount, DWORD dwFlags";
  record.Return = u"BOOL";
  record.Description = T("Copies the text of the specified object (" + stem +
                         ") into a buffer & returns the number of characters copied, not including the "
                         "terminating null character.");
  record.Group = u"Window Functions";
  record.Website = T("https://docs.example/en-us/library/windows/desktop/ms" + std::to_string(600000 + i) +
                     "(v=vs.85).aspx");
  record.AnsiUni = pair ? T(stem) : Text();
  record.checked = i % 5 == 0 ? 0 : 1;
  return record;
}

const LibraryEntry& Library(std::size_t count) {
  static std::map<std::size_t, LibraryEntry> made;
  LibraryEntry& entry = made[count];
  if (entry.functions.empty()) {
    entry.path = u"C:\\Program Files (x86)\\Windows Kits\\10\\Lib\\um\\x86\\user32.lib";
    entry.x86 = 1;
    for (std::size_t i = 0; i < count; ++i) entry.functions.push_back(Record(i));
  }
  return entry;
}

void BM_SaveCatalogue(benchmark::State& state) {
  const LibraryEntry& entry = Library(static_cast<std::size_t>(state.range(0)));
  // The document must hold every record: one "<element>" each.
  const std::string sample = WriteCatalogueDocument(entry);
  std::size_t elements = 0;
  for (std::size_t at = sample.find("<element>"); at != std::string::npos; at = sample.find("<element>", at + 1)) {
    ++elements;
  }
  if (elements != entry.functions.size()) {
    state.SkipWithError("the written catalogue does not hold every record");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string file = WriteCatalogueDocument(entry);
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
    if (bytes != sample.size()) {
      state.SkipWithError("a timed pass wrote another number of bytes than the first");
      break;
    }
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_LoadCatalogue(benchmark::State& state) {
  const std::string file = WriteCatalogueDocument(Library(static_cast<std::size_t>(state.range(0))));
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
  for (auto _ : state) {
    const auto document = ReadCatalogueDocument(bytes);
    if (!document || document->records.size() != static_cast<std::size_t>(state.range(0))) {
      state.SkipWithError("the written catalogue did not read back");
      break;
    }
    benchmark::DoNotOptimize(document->records.data());
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

BENCHMARK(BM_SaveCatalogue)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_LoadCatalogue)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
}  // namespace korvane
