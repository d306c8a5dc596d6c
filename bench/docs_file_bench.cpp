// Loading the offline documentation set: a generated set of 100,000 functions with realistic sizes
// (four parameters, a two-paragraph description of about 300 characters, 500 groups).

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "docs/docs_file.h"

namespace korvane {
namespace {

// About the types text a set built from the mingw-w64 headers carries (4 MB): records with their
// fields, constants, names.
std::string GeneratedTypes() {
  std::string text = "korvane-c-types 1\nH\twinuser.h\n";
  // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on a literal + std::string.
  auto add = [&text](std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) text += piece;
  };
  for (int i = 0; i < 16000; ++i) {
    add({"R\t*\ttagSTRUCTURE", std::to_string(i), "\tstruct\t48\t8\n"});
    for (int f = 0; f < 6; ++f) add({"F\tfieldName", std::to_string(f), "\tDWORD_PTR\tu\t", std::to_string(64 * f), "\t8\t0\t0\t\n"});
  }
  for (int i = 0; i < 90000; ++i) add({"K\t*\tSOME_CONSTANT_NAME_", std::to_string(i), "\tu\t4\t", std::to_string(i), "\n"});
  return text;
}

std::string GeneratedFile(std::size_t functions, bool types = false) {
  DocumentationSet set;
  if (types) set.cTypes = GeneratedTypes();
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
  const std::string bytes = GeneratedFile(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
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
// Second argument 1: with a types text of a real set's size, which the reader keeps without parsing.
BENCHMARK(BM_ReadDocumentationSet)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace korvane
