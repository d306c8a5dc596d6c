// Loading a library into the main window on the in-memory platform: the catalogue work plus one row
// per function in the function list view. The Windows build measures the real list view under Wine.
#include <benchmark/benchmark.h>

#include "bench_inputs.h"
#include "app/library_commands.h"
#include "app/program_numbers.h"
#include "helpers/headless_program.h"

namespace korvane::bench {
namespace {

void BM_LoadIntoWindow(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  testing::HeadlessProgram program;
  program.files.AddFile(u"C:\\Lib\\generated.lib", GeneratedLibrary(count, Layout::Microsoft, true));
  program.Start();
  // A load that produced nothing would be timed as a very fast one: every run must fill the list with
  // every function of the library.
  LoadLibraries(program.session, u"C:\\Lib\\generated.lib");
  const LibraryEntry* entry = program.session.catalogue.Find(u"generated");
  const int expected = entry == nullptr ? 0 : static_cast<int>(entry->functions.size());
  if (expected == 0) {
    state.SkipWithError("the generated library loads no functions");
    return;
  }
  for (auto _ : state) {
    LoadLibraries(program.session, u"C:\\Lib\\generated.lib");
    if (program.gui.RowCount(kFunctionList) != expected) {
      state.SkipWithError("a load did not fill the function list");
      break;
    }
  }
  state.counters["rows"] = program.gui.RowCount(kFunctionList);
  state.SetComplexityN(program.gui.RowCount(kFunctionList));
}

// About 1.67 directory names per function: 16,667 names give about 10,000 functions.
BENCHMARK(BM_LoadIntoWindow)->Arg(4167)->Arg(8334)->Arg(16667)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
}  // namespace korvane::bench
