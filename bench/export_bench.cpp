// Speed of the export into an installation on disk (a temporary folder): ten of Debian's mingw-w64
// import libraries (about 11,000 functions, every one ticked and given a return type, parameters and a
// description so it goes into the descriptor and the listing) into an installation whose function
// listing starts with 50,000 lines.
//   export/all          - the whole export of the ten libraries, from a fresh installation each time;
//   export/next/K       - the export of library K+1 into an installation that already holds the first K.
//                         Only the re-read and rewrite of a listing that grows by the exported libraries'
//                         functions may make this grow with K.
// Every timed run is checked afterwards (no failure, the files written, the listing's line count); a
// run that did less than it should stops the benchmark with an error and the program exits with 1.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/input_files.h"
#include "export/descriptor.h"
#include "export/export.h"
#include "export/listing.h"
#include "platform/file_system.h"

namespace korvane::bench {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibraryNames[] = {"kernel32", "ntdll", "msvcrt", "user32",  "advapi32",
                                         "gdi32",    "setupapi", "shlwapi", "ole32", "shell32"};
constexpr std::size_t kLibraryCount = std::size(kLibraryNames);
constexpr int kListingLines = 50000;

bool g_failed = false;

Text PathText(const fs::path& path) { return Utf8ToText(path.string()); }

// The ten libraries, loaded once, every function made exportable.
struct Inputs {
  Catalogue catalogue;
  std::vector<const LibraryEntry*> libraries;
  std::size_t functions = 0;
};

const Inputs* LoadInputs() {
  static Inputs* inputs = [] {
    auto* loaded = new Inputs;
    std::vector<Text> paths;
    for (const char* name : kLibraryNames) {
      const std::string path = std::string("/usr/x86_64-w64-mingw32/lib/lib") + name + ".a";
      if (!fs::exists(path)) return static_cast<Inputs*>(nullptr);
      paths.push_back(Utf8ToText(path));
    }
    auto files = MakeDiskFileSystem();
    const InputLoad load = LoadInputFiles(loaded->catalogue, *files, paths);
    for (const LoadedInput& input : load.libraries) {
      LibraryEntry* entry = loaded->catalogue.Find(input.key);
      if (entry == nullptr) continue;
      for (ApiFunction& function : entry->functions) {
        function.checked = 1;
        function.Return = u"BOOL";
        function.Parameters = u"_In_ HWND hWnd, _In_opt_ LPCTSTR lpText, _Out_ LPRECT lpRect";
        function.Description = u"Does what " + function.Function + u" does.";
        function.Group = u"Benchmark";
      }
      loaded->functions += entry->functions.size();
      loaded->libraries.push_back(entry);
    }
    return loaded->libraries.size() == kLibraryCount ? loaded : static_cast<Inputs*>(nullptr);
  }();
  return inputs;
}

std::string ListingBytes50k() {
  std::string bytes = std::to_string(kListingLines) + "\r\n";
  for (int i = 0; i < kListingLines; ++i) {
    bytes += "Listed" + std::to_string(i) + "Function (hWnd, lpText, uType)  int  |  Entry  |  Group  |  \r\n";
  }
  return bytes;
}

// A fresh installation in a temporary folder on disk; removed with the object.
class Installation {
 public:
  Installation() : root_(fs::temp_directory_path() / ("korvane-export-bench-" + std::to_string(::getpid()))) {
    fs::remove_all(root_);
    fs::create_directories(root_ / "PureLibraries" / "Windows" / "Libraries");
    fs::create_directories(root_ / "Compilers");
    WriteListing(ListingBytes50k());
  }
  ~Installation() { fs::remove_all(root_); }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  Text Root() const { return PathText(root_) + u"/"; }
  fs::path ListingFile() const { return root_ / "Compilers" / "APIFunctionListing.txt"; }
  fs::path DescriptorFolder() const { return root_ / "PureLibraries" / "Windows"; }

  void WriteListing(const std::string& bytes) const { std::ofstream(ListingFile(), std::ios::binary) << bytes; }
  std::string ReadListing() const {
    std::ifstream in(ListingFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  fs::path root_;
};

ExportResult Export(const Installation& installation, std::span<const LibraryEntry* const> libraries) {
  auto files = MakeDiskFileSystem();
  ExportOptions options;
  options.root = installation.Root();
  options.descriptionTemplate = Text(kDefaultDescriptionTemplate);
  return ExportToPureBasic(*files, libraries, options);
}

// The listing's lines, after checking that its first line counts the others.
long ListingLineCount(const std::string& listing) {
  long lines = 0;
  for (char c : listing) lines += c == '\n';
  const long counted = std::strtol(listing.c_str(), nullptr, 10);
  return counted + 1 == lines ? lines : -1;
}

// Stops the benchmark when a timed export did less than it should.
bool CheckExport(benchmark::State& state, const ExportResult& result, std::size_t libraries,
                 const Installation& installation, long minimumLines) {
  std::string problem;
  if (!result.failures.empty()) {
    problem = "failure: " + TextToUtf8(result.failures.front().path) + ": " + TextToUtf8(result.failures.front().reason);
  } else if (result.written.size() != 3 * libraries) {
    problem = "wrote " + std::to_string(result.written.size()) + " files, not " + std::to_string(3 * libraries);
  } else if (const long lines = ListingLineCount(installation.ReadListing()); lines < minimumLines) {
    problem = "the listing has " + std::to_string(lines) + " lines, expected at least " + std::to_string(minimumLines);
  }
  if (problem.empty()) return true;
  std::fprintf(stderr, "export benchmark: %s\n", problem.c_str());
  g_failed = true;
  state.SkipWithError(problem.c_str());
  return false;
}

void BM_ExportAll(benchmark::State& state) {
  const Inputs* inputs = LoadInputs();
  if (inputs == nullptr) {
    state.SkipWithError("the ten mingw-w64 libraries are not installed");
    return;
  }
  const std::string listing = ListingBytes50k();
  Installation installation;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(installation.DescriptorFolder());
    fs::create_directories(installation.DescriptorFolder() / "Libraries");
    installation.WriteListing(listing);
    state.ResumeTiming();
    const ExportResult result = Export(installation, inputs->libraries);
    state.PauseTiming();
    const bool ok = CheckExport(state, result, kLibraryCount, installation, kListingLines + 1000);
    state.ResumeTiming();
    if (!ok) break;
  }
  state.counters["functions"] = static_cast<double>(inputs->functions);
  state.counters["listing_lines"] = static_cast<double>(ListingLineCount(installation.ReadListing()));
}

// Library K+1 into an installation that holds the first K; every iteration starts from that state.
void BM_ExportNext(benchmark::State& state) {
  const Inputs* inputs = LoadInputs();
  if (inputs == nullptr) {
    state.SkipWithError("the ten mingw-w64 libraries are not installed");
    return;
  }
  const auto already = static_cast<std::size_t>(state.range(0));
  Installation installation;
  std::span<const LibraryEntry* const> all(inputs->libraries);
  if (already > 0 && !CheckExport(state, Export(installation, all.first(already)), already, installation, 0)) return;
  const std::string listingBefore = installation.ReadListing();
  const long linesBefore = ListingLineCount(listingBefore);
  const LibraryEntry* next = all[already];
  const fs::path descriptor = installation.DescriptorFolder() / TextToUtf8(DescriptorName(next->path));
  for (auto _ : state) {
    state.PauseTiming();
    installation.WriteListing(listingBefore);
    fs::remove(descriptor);
    state.ResumeTiming();
    const ExportResult result = Export(installation, all.subspan(already, 1));
    state.PauseTiming();
    const bool ok = CheckExport(state, result, 1, installation, linesBefore + 1);
    state.ResumeTiming();
    if (!ok) break;
  }
  state.counters["listing_lines_before"] = static_cast<double>(linesBefore);
  state.counters["functions"] = static_cast<double>(next->functions.size());
}

BENCHMARK(BM_ExportAll)->Name("export/all")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportNext)->Name("export/next")->DenseRange(0, kLibraryCount - 1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace korvane::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return korvane::bench::g_failed ? 1 : 0;
}
