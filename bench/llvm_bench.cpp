// Reference point: the same libraries' symbol directories read with LLVM's archive reader
// (llvm::object::Archive). Each pass opens the archive from memory and walks every directory name:
//   names  - each name taken as LLVM hands it out (a view into the image, no copy);
//   copies - each name also copied into a std::string, closer to the work of our reader, which
//            decodes every name into a Text before filtering it.
// LLVM keeps every name (no filtering, no decoding), so this is a lower bound for a directory walk
// rather than a like-for-like comparison with korvane_bench's "read" stage.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "bench_inputs.h"
#include "llvm/ADT/StringRef.h"
#include "llvm/Object/Archive.h"
#include "llvm/Support/Error.h"
#include "llvm/Support/MemoryBufferRef.h"

namespace korvane::bench {
namespace {

enum class Stage { Names, Copies };

const char* StageName(Stage stage) { return stage == Stage::Names ? "names" : "copies"; }

llvm::StringRef AsStringRef(const Bytes& image) {
  return llvm::StringRef(reinterpret_cast<const char*>(image.data()), image.size());
}

// One pass: open the archive and walk its symbol directory. Returns the number of names, or an error
// text when LLVM refuses the archive.
struct Pass {
  std::size_t names = 0;
  std::string error;
};

Pass WalkSymbols(const Bytes& image, Stage stage) {
  Pass pass;
  auto archive = llvm::object::Archive::create(llvm::MemoryBufferRef(AsStringRef(image), "bench"));
  if (!archive) {
    pass.error = llvm::toString(archive.takeError());
    return pass;
  }
  for (const llvm::object::Archive::Symbol& symbol : (*archive)->symbols()) {
    const llvm::StringRef name = symbol.getName();
    if (stage == Stage::Copies) {
      std::string copy(name.data(), name.size());
      benchmark::DoNotOptimize(copy.data());
    } else {
      benchmark::DoNotOptimize(name.data());
    }
    ++pass.names;
  }
  return pass;
}

void Run(benchmark::State& state, const Bytes& image, Stage stage) {
  Pass pass = WalkSymbols(image, stage);
  if (!pass.error.empty()) {
    state.SkipWithError(("LLVM refuses the archive: " + pass.error).c_str());
    return;
  }
  for (auto _ : state) {
    pass = WalkSymbols(image, stage);
    benchmark::DoNotOptimize(pass.names);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(image.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(pass.names));
  state.counters["names"] = static_cast<double>(pass.names);
}

void BM_LlvmGenerated(benchmark::State& state, Stage stage, Layout layout, bool x86) {
  const auto count = static_cast<std::size_t>(state.range(0));
  Run(state, GeneratedLibrary(count, layout, x86), stage);
  state.SetComplexityN(static_cast<std::int64_t>(count));
}

void BM_LlvmRealLibrary(benchmark::State& state, Stage stage, const RealLibrary& library) {
  const Bytes* image = FileBytes(library.path);
  if (image == nullptr) {
    state.SkipWithError(("cannot read " + library.path).c_str());
    return;
  }
  Run(state, *image, stage);
}

void Register() {
  static const std::vector<RealLibrary> libraries = RealLibraries();
  for (const Stage stage : {Stage::Names, Stage::Copies}) {
    for (const GeneratedVariant& variant : kGeneratedVariants) {
      const std::string name = std::string("llvm/generated/") + StageName(stage) + "/" + variant.name;
      benchmark::RegisterBenchmark(name.c_str(), BM_LlvmGenerated, stage, variant.layout, variant.x86)
          ->RangeMultiplier(4)
          ->Range(1 << 8, 1 << 16)
          ->Complexity(benchmark::oN);
    }
    for (const RealLibrary& library : libraries) {
      const std::string name = std::string("llvm/real/") + StageName(stage) + "/" + library.label;
      benchmark::RegisterBenchmark(name.c_str(), BM_LlvmRealLibrary, stage, library);
    }
  }
}

[[maybe_unused]] const bool kRegistered = (Register(), true);

}  // namespace
}  // namespace korvane::bench
