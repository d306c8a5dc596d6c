// Speed of reading import libraries into the catalogue, in three stages so the report shows where the
// time goes:
//   read      - ReadImportArchive alone, the consumer only counts the kept names;
//   collect   - read, each kept name appended to an entry through CollectFunctionNames (the loader's
//               consumer);
//   load      - collect, then NormaliseLibraryNames and the ticks, as the loader does for every library;
//   normalise - NormaliseLibraryNames alone (generated libraries only).
// Generated libraries grow from 2^8 to 2^16 directory names and the report fits the growth to N; the
// real libraries are read from disk once, before timing.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

#include "bench_inputs.h"
#include "catalogue/archive_reader.h"
#include "catalogue/catalogue.h"
#include "catalogue/library_loader.h"
#include "catalogue/load_files.h"
#include "catalogue/symbol_names.h"
#include "platform/headless/memory_file_system.h"

namespace korvane::bench {
namespace {

// Where the generated libraries pretend to be; the loader derives the library key from it.
constexpr TextView kGeneratedPath = u"C:\\Program Files (x86)\\Windows Kits\\10\\Lib\\um\\benchdll.lib";

enum class Stage { Read, Collect, Load };

const char* StageName(Stage stage) {
  switch (stage) {
    case Stage::Read: return "read";
    case Stage::Collect: return "collect";
    case Stage::Load: return "load";
  }
  return "?";
}

struct StageOutcome {
  ArchiveStatus status = ArchiveStatus::Read;
  std::size_t names = 0;  // kept names (read, collect) or functions after normalising (load)
};

// One pass of `stage` over `image`, with a fresh catalogue each time as every load starts empty.
StageOutcome RunStage(Stage stage, const Bytes& image, const Text& path) {
  StageOutcome outcome;
  if (stage == Stage::Read) {
    std::size_t kept = 0;
    outcome.status = ReadImportArchive(image, [&kept](const Text& name) {
                       benchmark::DoNotOptimize(name.data());
                       ++kept;
                       return true;
                     }).status;
    outcome.names = kept;
    return outcome;
  }
  if (stage == Stage::Load) {
    LibraryRead read = ReadLibrary(image, path);
    outcome.status = read.archive.status;
    outcome.names = read.entry.functions.size();
    benchmark::DoNotOptimize(read.entry.functions.data());
    return outcome;
  }
  LibraryEntry entry;
  entry.path = path;
  outcome.status = CollectFunctionNames(image, entry).status;
  outcome.names = entry.functions.size();
  benchmark::DoNotOptimize(entry.functions.data());
  return outcome;
}

// How many names the directory keeps: the items each pass turns into names.
std::size_t DirectoryNameCount(const Bytes& image) {
  std::size_t kept = 0;
  ReadImportArchive(image, [&kept](const Text&) { return ++kept, true; });
  return kept;
}

void Report(benchmark::State& state, std::size_t imageBytes, std::size_t directoryNames, std::size_t names,
            Stage stage) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(imageBytes));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(directoryNames));
  state.counters[stage == Stage::Load ? "functions" : "kept"] = static_cast<double>(names);
}

void BM_Generated(benchmark::State& state, Stage stage, Layout layout, bool x86) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const Bytes& image = GeneratedLibrary(count, layout, x86);
  const Text path(kGeneratedPath);
  StageOutcome outcome = RunStage(stage, image, path);
  if (outcome.status != ArchiveStatus::Read) {
    state.SkipWithError("the generated library does not read completely");
    return;
  }
  const std::size_t expected = outcome.names;
  if (expected == 0) {
    state.SkipWithError("the generated library gave no names");
    return;
  }
  for (auto _ : state) {
    outcome = RunStage(stage, image, path);
    benchmark::DoNotOptimize(outcome);
    if (outcome.names != expected) {
      state.SkipWithError("a timed pass gave another number of names than the first");
      break;
    }
  }
  Report(state, image.size(), count, outcome.names, stage);
  state.SetComplexityN(static_cast<std::int64_t>(count));
}

void BM_RealLibrary(benchmark::State& state, Stage stage, const RealLibrary& library) {
  const Bytes* image = FileBytes(library.path);
  if (image == nullptr) {
    state.SkipWithError(("cannot read " + library.path).c_str());
    return;
  }
  const Text path = Utf8ToText(library.path);
  StageOutcome outcome = RunStage(stage, *image, path);
  if (outcome.status == ArchiveStatus::NotArchive || outcome.status == ArchiveStatus::NoSymbolDirectory) {
    state.SkipWithError(("no symbol directory in " + library.path).c_str());
    return;
  }
  const std::size_t expected = outcome.names;
  if (expected == 0) {
    state.SkipWithError(("no function names in " + library.path).c_str());
    return;
  }
  for (auto _ : state) {
    outcome = RunStage(stage, *image, path);
    benchmark::DoNotOptimize(outcome);
    if (outcome.names != expected) {
      state.SkipWithError("a timed pass gave another number of names than the first");
      break;
    }
  }
  Report(state, image->size(), DirectoryNameCount(*image), outcome.names, stage);
}

// NormaliseLibraryNames alone, on the raw names the collect stage leaves in the entry. Each iteration
// works on a fresh copy of that entry; the copy is made with the clock paused.
void BM_GeneratedNormalise(benchmark::State& state, Layout layout, bool x86) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const Bytes& image = GeneratedLibrary(count, layout, x86);
  LibraryEntry collectedEntry;
  collectedEntry.path = Text(kGeneratedPath);
  CollectFunctionNames(image, collectedEntry);
  const LibraryEntry* collected = &collectedEntry;
  if (collected->functions.empty()) {
    state.SkipWithError("the generated library has no function names");
    return;
  }
  std::size_t functions = 0;
  for (auto _ : state) {
    state.PauseTiming();
    LibraryEntry entry = *collected;
    state.ResumeTiming();
    NormaliseLibraryNames(entry);
    functions = entry.functions.size();
    benchmark::DoNotOptimize(entry.functions.data());
    state.PauseTiming();
    entry = LibraryEntry();  // freeing the records is not part of the normalising
    state.ResumeTiming();
  }
  // Every raw name gives at least one function, and a pair adds at most one generic entry per two.
  if (functions == 0 || functions > collected->functions.size() * 3 / 2) {
    state.SkipWithError("normalising gave an impossible number of functions");
    return;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(collected->functions.size()));
  state.counters["functions"] = static_cast<double>(functions);
  state.SetComplexityN(static_cast<std::int64_t>(collected->functions.size()));
}

// Every "*.a" of one mingw-w64 library folder, held in a MemoryFileSystem and loaded with
// LoadFiles: the whole program path except the disk, one file after the other. Import libraries
// and ordinary static libraries alike, as a user pointing the program at the folder would load them.
void BM_LoadFolder(benchmark::State& state, const std::string& folder) {
  const std::vector<std::string> files = LibraryFolderFiles(folder);
  if (files.empty()) {
    state.SkipWithError(("no libraries in " + folder).c_str());
    return;
  }
  MemoryFileSystem fileSystem;
  std::vector<Text> paths;
  std::size_t totalBytes = 0;
  for (const std::string& file : files) {
    const Bytes* bytes = FileBytes(file);
    if (bytes == nullptr) continue;
    paths.push_back(Utf8ToText(file));
    fileSystem.AddFile(paths.back(), *bytes);
    totalBytes += bytes->size();
  }
  std::size_t libraries = 0;
  std::size_t functions = 0;
  for (auto _ : state) {
    Catalogue catalogue;
    const LoadOutcome outcome = LoadFiles(catalogue, fileSystem, paths, FileKinds::Libraries);
    libraries = outcome.libraries.size();
    const std::size_t first = functions;
    functions = 0;
    for (const LoadedFile& file : outcome.libraries) functions += catalogue.Find(file.key)->functions.size();
    benchmark::DoNotOptimize(functions);
    if (libraries == 0 || functions == 0 || (first != 0 && functions != first)) {
      state.SkipWithError("the folder loaded no libraries, or another number of functions each time");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(totalBytes));
  state.counters["files"] = static_cast<double>(paths.size());
  state.counters["libraries"] = static_cast<double>(libraries);
  state.counters["functions"] = static_cast<double>(functions);
}

void RegisterGenerated() {
  for (const Stage stage : {Stage::Read, Stage::Collect, Stage::Load}) {
    for (const GeneratedVariant& variant : kGeneratedVariants) {
      const std::string name = std::string("generated/") + StageName(stage) + "/" + variant.name;
      benchmark::RegisterBenchmark(name.c_str(), BM_Generated, stage, variant.layout, variant.x86)
          ->RangeMultiplier(4)
          ->Range(1 << 8, 1 << 16)
          ->Complexity(benchmark::oN);
    }
  }
  // N here is the number of kept names handed to NormaliseLibraryNames, not the directory size.
  for (const GeneratedVariant& variant : kGeneratedVariants) {
    const std::string name = std::string("generated/normalise/") + variant.name;
    benchmark::RegisterBenchmark(name.c_str(), BM_GeneratedNormalise, variant.layout, variant.x86)
        ->RangeMultiplier(4)
        ->Range(1 << 8, 1 << 16)
        ->Complexity(benchmark::oN);
  }
}

void RegisterReal() {
  static const std::vector<RealLibrary> libraries = RealLibraries();
  for (const Stage stage : {Stage::Read, Stage::Collect, Stage::Load}) {
    for (const RealLibrary& library : libraries) {
      const std::string name = std::string("real/") + StageName(stage) + "/" + library.label;
      benchmark::RegisterBenchmark(name.c_str(), BM_RealLibrary, stage, library);
    }
  }
  for (const char* triplet : {"i686", "x86_64"}) {
    const std::string folder = std::string("/usr/") + triplet + "-w64-mingw32/lib";
    benchmark::RegisterBenchmark((std::string("folder/load/mingw-") + triplet).c_str(), BM_LoadFolder, folder)
        ->Unit(benchmark::kMillisecond);
  }
}

[[maybe_unused]] const bool kRegistered = (RegisterGenerated(), RegisterReal(), true);

}  // namespace
}  // namespace korvane::bench
