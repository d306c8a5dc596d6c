// The command line's batch lookup against a documentation server on 127.0.0.1: a library of 1,000
// functions, each found by one search page and filled from one reference page. Reports functions per
// second, and fails (exit status 1) when the batch did not fill every function.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <string>
#include <vector>

#include "catalogue/catalogue_xml.h"
#include "cli/cli.h"
#include "helpers/archive_writer.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/local_http_server.h"

namespace korvane {
namespace {

constexpr int kFunctions = 1000;
constexpr char16_t kLibrary[] = u"C:\\Lib\\bench.lib";
constexpr char16_t kOut[] = u"C:\\Out";
constexpr char16_t kWritten[] = u"C:\\Out\\[x86] [01.02.2020-03.04.05] bench.lib.xml";
bool failed = false;

// Joins pieces by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string at -O3.
std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string joined;
  for (const std::string_view piece : pieces) joined.append(piece);
  return joined;
}

std::string Name(int i) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "Bench%04d", i);
  return buffer;
}

// Search pages whose first result is the function's reference page, and reference pages with a
// syntax block, a description and a group.
HttpReply Documentation(const std::string& target) {
  const std::size_t query = target.find("query=%22");
  if (query != std::string::npos) {
    const std::string name = target.substr(query + 9, target.find("%20", query) - query - 9);
    return {200,
            Join({"<html><a class=\"resultTitleLink\" href=\"https://docs.example/en-us/library/", name,
                  ".aspx\"><b>", name, " function</b></a><B>", name, " function (Windows)</B></html>"}),
            {}, false};
  }
  const std::string prefix = "/en-us/library/";
  const std::string name = target.substr(prefix.size(), target.size() - prefix.size() - 5);
  return {200,
          Join({"<html><DIV class=\"toclevel1\">Bench Functions</DIV><div class=\"codeSnippetContainerCode\"><PRE>BOOL "
                "WINAPI ",
                name, "(\r\n  _In_ DWORD value\r\n);</PRE></div><div class=\"clsServerSDKContent\"><P>Does ", name,
                ".</P></div><h2>Syntax</h2></html>"}),
          {}, false};
}

void BM_LookupCommand(benchmark::State& state) {
  std::vector<std::string> names;
  for (int i = 0; i < kFunctions; ++i) names.push_back(Join({"_", Name(i), "@4"}));
  const auto library = testing::MicrosoftLibrary(names);
  const auto server = LocalHttpServer::Start(Documentation);
  if (!server) {
    failed = true;
    state.SkipWithError("no port for the documentation server");
    return;
  }
  const Text base = Utf8ToText(server->Address(""));
  FixedClock clock{LocalTime{2020, 1, 2, 3, 4, 5}};
  for (auto _ : state) {
    MemoryFileSystem files;
    files.AddFile(kLibrary, library);
    files.AddFolder(kOut);
    CliOutput output;
    const int status = RunCli({u"lookup", u"--search-base", base, u"--library-base", base, u"--out", kOut, kLibrary},
                              files, clock, output);
    state.PauseTiming();
    const std::string bytes = files.Contents(kWritten);
    const auto document = ReadCatalogueDocument(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    int filled = 0;
    if (document) {
      for (const ApiFunction& record : document->records) {
        filled += record.Return == u"BOOL" && record.Parameters == u"_In_ DWORD value" ? 1 : 0;
      }
    }
    state.ResumeTiming();
    if (status != 0 || filled != kFunctions) {
      failed = true;
      std::fprintf(stderr, "lookup exited %d and filled %d of %d functions:\n%s", status, filled, kFunctions,
                   output.err.c_str());
      state.SkipWithError("the batch did not fill every function");
      return;
    }
  }
  state.counters["functions/s"] =
      benchmark::Counter(static_cast<double>(kFunctions) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LookupCommand)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (korvane::failed) std::fputs("korvane_bench_lookup_cli: FAILED: the lookups did not all run\n", stderr);
  return korvane::failed ? 1 : 0;
}
