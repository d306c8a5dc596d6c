// `korvane-cli parse-page` on a page with a growing number of table-of-contents entries: the time must
// grow linearly with the entries (the report fits the growth). Each entry becomes one member of the
// printed "siblings" object.

#include <benchmark/benchmark.h>

#include <string>

#include "cli/cli.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

std::string PageWithEntries(std::int64_t entries) {
  std::string page = "<DIV class=\"toclevel1\">Functions</DIV>"
                     "<div class=\"codeSnippetContainerCode\">BOOL WINAPI Beep(int a);</div>"
                     "<div class=\"clsServerSDKContent\"><P>Beeps.</P><h2>";
  for (std::int64_t i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i);
    page += "<DIV class=\"toclevel2\"><a href=\"https://h/f" + n + ".aspx\">Function" + n + " (Windows)</a></DIV>";
  }
  return page;
}

void BM_ParsePageSiblings(benchmark::State& state) {
  MemoryFileSystem files;
  FixedClock clock;
  files.AddFile(u"C:\\p\\page.htm", PageWithEntries(state.range(0)));
  for (auto _ : state) {
    CliOutput output;
    const int status = RunCli({u"parse-page", u"--function", u"Beep", u"--library", u"kernel32", u"C:\\p\\page.htm"},
                              files, clock, output);
    if (status != kExitSuccess) state.SkipWithError("parse-page failed");
    benchmark::DoNotOptimize(output.out);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParsePageSiblings)
    ->RangeMultiplier(2)
    ->Range(40000, 320000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace korvane
