// The reference page parser on generated pages of growing size: the time must grow linearly with the
// page (the report fits the growth).

#include <benchmark/benchmark.h>

#include "lookup/page_generator.h"
#include "lookup/reference_page.h"

namespace korvane {
namespace {

void BM_ParseReferencePage(benchmark::State& state) {
  const bool adversarial = state.range(1) != 0;
  const Text page = testing::GeneratePage(42, static_cast<std::size_t>(state.range(0)), adversarial);
  for (auto _ : state) {
    auto data = ParseReferencePage(page, u"Beep", u"kernel32");
    benchmark::DoNotOptimize(data);
  }
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size() * 2));
}
BENCHMARK(BM_ParseReferencePage)
    ->ArgsProduct({{256 << 10, 1 << 20, 2 << 20, 4 << 20}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace korvane
