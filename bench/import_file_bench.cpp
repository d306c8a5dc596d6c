// `pbi` over ten real libraries with their structures, constants and callbacks: reading the set and
// each library, writing each import file, as the command line does. Needs a set built from the headers
// (KORVANE_BENCH_DOCS, default build/windows/src/Korvane.docs, from scripts/docs-set.sh) and Debian's
// mingw-w64 import libraries; skips when either is missing.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/archive_reader.h"
#include "catalogue/symbol_names.h"
#include "docs/docs_file.h"
#include "importfile/import_file.h"

namespace korvane {
namespace {

constexpr const char* kLibraries[] = {"kernel32", "user32", "gdi32", "ws2_32", "setupapi",
                                      "winhttp", "dbghelp", "comctl32", "ole32", "advapi32"};

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SetPath() {
  const char* configured = std::getenv("KORVANE_BENCH_DOCS");
  return configured != nullptr ? configured : "build/windows/src/Korvane.docs";
}

void BM_PbiTenLibraries(benchmark::State& state) {
  const std::string setPath = SetPath();
  if (!std::filesystem::exists(setPath) || !std::filesystem::exists("/usr/x86_64-w64-mingw32/lib/libkernel32.a")) {
    state.SkipWithError("no documentation set or no mingw-w64 import libraries");
    return;
  }
  std::size_t written = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> setBytes = ReadBytes(setPath);
    const auto set = ReadDocumentationSet(setBytes);
    if (!set || set->cTypes.empty()) {
      state.SkipWithError("the set records no types");
      return;
    }
    written = 0;
    for (const char* name : kLibraries) {
      const std::string path = std::string("/usr/x86_64-w64-mingw32/lib/lib") + name + ".a";
      LibraryEntry library;
      std::vector<Text> names;
      ReadImportArchive(ReadBytes(path), [&names](Text&& symbol) {
        names.push_back(std::move(symbol));
        return true;
      });
      library.functions = NormaliseNames(names, library.x86);
      library.path = Utf8ToText(path);
      ImportFileRequest request;
      request.library = &library;
      request.libraryFileName = Utf8ToText(std::string("lib") + name + ".a");
      request.set = &*set;
      written += WriteImportFile(request).bytes.size();
    }
    benchmark::DoNotOptimize(written);
  }
  state.counters["written_MB"] = static_cast<double>(written) / 1e6;
}
BENCHMARK(BM_PbiTenLibraries)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace korvane
