// Loading a library into the main window on the in-memory platform: the catalogue work plus one row
// per function in the function list view. The Windows build measures the real list view under Wine.
#include <benchmark/benchmark.h>

#include "bench_inputs.h"
#include "app/library_commands.h"
#include "helpers/headless_program.h"

namespace korvane::bench {
namespace {

void BM_LoadIntoWindow(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  testing::HeadlessProgram program;
  program.files.AddFile(u"C:\\Lib\\generated.lib", GeneratedLibrary(count, Layout::Microsoft, true));
  program.Start();
  for (auto _ : state) {
    LoadLibraries(program.session, u"C:\\Lib\\generated.lib");
    benchmark::DoNotOptimize(program.gui.RowCount(kFunctionList));
  }
  state.counters["rows"] = program.gui.RowCount(kFunctionList);
  state.SetComplexityN(program.gui.RowCount(kFunctionList));
}

// About 1.67 directory names per function: 16,667 names give about 10,000 functions.
BENCHMARK(BM_LoadIntoWindow)->Arg(4167)->Arg(8334)->Arg(16667)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
}  // namespace korvane::bench
