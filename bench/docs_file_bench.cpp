// Loading the offline documentation set: a generated set of 100,000 functions with realistic sizes
// (four parameters, a two-paragraph description of about 300 characters, 500 groups).

#include <benchmark/benchmark.h>

#include <string>

#include "docs/docs_file.h"

namespace korvane {
namespace {

std::string GeneratedFile(std::size_t functions) {
  DocumentationSet set;
  constexpr std::size_t kGroups = 500;
  set.groups.resize(kGroups);
  for (std::size_t g = 0; g < kGroups; ++g) set.groups[g].title = u"Group of things number " + Utf8ToText(std::to_string(g));
  const std::string description =
      "Retrieves information about the specified window. The function also retrieves the value at a "
      "specified offset into the extra window memory.\nIf the function fails, the return value is zero. "
      "To get extended error information, call GetLastError.";
  for (std::size_t i = 0; i < functions; ++i) {
    const Text name = u"GetSomethingNumber" + Utf8ToText(std::to_string(i)) + u"W";
    set.groups[i % kGroups].functions.push_back(DocFunction{
        name, u"BOOL",
        {u"_In_ HWND hWnd", u"_Out_writes_(nMaxCount) LPWSTR lpString", u"_In_ int nMaxCount", u"_In_opt_ LPVOID lpReserved"},
        description, u"winuser.h", u"User32"});
  }
  return WriteDocumentationSet(set);
}

void BM_ReadDocumentationSet(benchmark::State& state) {
  const std::string bytes = GeneratedFile(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto set = ReadDocumentationSet(AsBytes(bytes));
    if (!set || FunctionCount(*set) != static_cast<std::size_t>(state.range(0))) state.SkipWithError("not read");
    benchmark::DoNotOptimize(set);
    state.PauseTiming();  // freeing the set is not part of loading it
    set.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_ReadDocumentationSet)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace korvane
