// How responsive the user-interface thread stays while "msdn Checked" runs a batch in the real main
// window under Wine. Debian's mingw-w64 gdi32 and user32 import libraries are loaded (about 1,000
// functions each); every function of gdi32 and the first few of user32 are ticked, so the batch also
// moves from one library to the next and refills the list; it is started by the real button; pages come over WinHTTP from a local
// server that answers at once, so the batch runs as fast as it can and keeps the thread as busy as it
// can. Meanwhile a probe thread measures how long a message waits before the thread handles it.
// Prints the batch's throughput and the waits; fails loudly when the batch did not do its work.
//
// With `--docs SET --out DIR` the pages come from the offline documentation set instead (answered in
// process, as the program does with Korvane.docs beside it), over every function of kernel32; the
// catalogue is then saved into DIR as "Save XML" saves it, for comparison with `korvane-cli lookup --docs`.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "app/batch_lookup.h"
#include "app/event_loop.h"
#include "app/program.h"
#include "app/lookup_commands.h"
#include "app/program_numbers.h"
#include "catalogue/save_files.h"
#include "docs/docs_file_load.h"
#include "docs/offline_page_source.h"
#include "helpers/documentation_pages.h"
#include "helpers/fixtures.h"
#include "platform/http_page_source.h"
#include "platform/local_http_server.h"
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/win32_gui.h"
#include "platform/headless/scripted_dialogs.h"
#include "latency_probe.h"
#include "win32/win32_process.h"

namespace {

using namespace korvane;

// Rows 0 and 1 of the libraries list: the list sorts by path, and both lie in the same folder.
constexpr char kLibrary[] = "/usr/x86_64-w64-mingw32/lib/libgdi32.a";
constexpr char kSecondLibrary[] = "/usr/x86_64-w64-mingw32/lib/libuser32.a";
constexpr int kFewestRows = 900;  // each library lists about 1,000 functions
constexpr std::size_t kSecondTicked = 20;
constexpr double kGoalMilliseconds = 50.0;

int Fail(const std::string& why) {
  std::fprintf(stderr, "batch latency bench: FAILED: %s\n", why.c_str());
  return 1;
}

// The program's own dispatch over every event pending now.
void DispatchPending(Session& session, Gui& gui) {
  for (const Event& event : test::PendingEvents(gui)) DispatchEvent(session, event);
}

// Presses "msdn Checked" and runs the program's own loop (WaitEvent, DispatchEvent) until the batch ends.
// Returns when, from `start`, the batch selected a library row: it has just refilled the function list.
std::vector<double> RunBatch(Session& session, Gui& gui, LARGE_INTEGER start) {
  gui.QueueEvent({kEventControl, kMainWindow, kMsdnChecked, kTypeClick, {}});
  std::vector<double> librarySwitches;
  bool pressed = false;  // events of earlier actions may come first
  do {
    const Event event = gui.WaitEvent();
    pressed = pressed || event.control == kMsdnChecked;
    // One selection raises more than one event (selected, focused): the first of them counts.
    const double now = bench::MillisecondsSince(start) / 1000.0;
    if (pressed && event.control == kLibrariesList && (librarySwitches.empty() || now - librarySwitches.back() > 0.1)) {
      librarySwitches.push_back(now);
    }
    DispatchEvent(session, event);
  } while (!pressed || session.batchRunning.load());
  DispatchPending(session, gui);
  return librarySwitches;
}

std::size_t CountChecked(const LibraryEntry& entry) {
  return static_cast<std::size_t>(
      std::count_if(entry.functions.begin(), entry.functions.end(), [](const ApiFunction& f) { return f.checked != 0; }));
}

// Records looked up: the record has its return type and, in the shown library, the list shows it.
std::size_t CountLookedUp(const LibraryEntry& entry, Gui& gui, bool shown) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < entry.functions.size(); ++i) {
    const bool filled = entry.functions[i].Return == u"BOOL" &&
                        (!shown || gui.RowText(kFunctionList, static_cast<int>(i), 2) == u"BOOL");
    if (filled) ++count;
  }
  return count;
}

void ShowLibraryRow(Session& session, Win32Gui& gui, int row) {
  ListView_SetItemState(gui.ControlHandle(kLibrariesList), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  DispatchPending(session, gui);
}

// Leaves the list's first `count` rows ticked, by "Check None" and their check boxes, as the user would.
void TickFirstRows(Session& session, Win32Gui& gui, std::size_t count) {
  gui.QueueEvent({kEventControl, kMainWindow, kCheckNone, kTypeClick, {}});
  DispatchPending(session, gui);
  for (std::size_t row = 0; row < count; ++row) {
    ListView_SetCheckState(gui.ControlHandle(kFunctionList), static_cast<int>(row), TRUE);
  }
  DispatchPending(session, gui);
}

// Drops both libraries on the window, ticks every function of gdi32 and the first few of user32, and
// leaves gdi32 shown. Returns what went wrong, or nothing.
std::string LoadAndTick(Session& session, Win32Gui& gui) {
  gui.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0,
                  testing::HostPath(kLibrary) + u"\n" + testing::HostPath(kSecondLibrary)});
  DispatchPending(session, gui);
  DispatchPending(session, gui);
  const LibraryEntry* first = session.catalogue.Find(u"libgdi32");
  const LibraryEntry* second = session.catalogue.Find(u"libuser32");
  if (first == nullptr || second == nullptr) return "the libraries were not loaded";
  ShowLibraryRow(session, gui, 1);
  if (session.catalogue.Shown() != second) return "row 1 of the libraries list does not show user32";
  const int secondRows = gui.RowCount(kFunctionList);
  TickFirstRows(session, gui, kSecondTicked);
  ShowLibraryRow(session, gui, 0);
  if (session.catalogue.Shown() != first) return "row 0 of the libraries list does not show gdi32";
  gui.QueueEvent({kEventControl, kMainWindow, kCheckAll, kTypeClick, {}});
  DispatchPending(session, gui);
  const int rows = gui.RowCount(kFunctionList);
  if (rows < kFewestRows || secondRows < kFewestRows || CountChecked(*second) != kSecondTicked ||
      CountChecked(*first) < static_cast<std::size_t>(kFewestRows)) {
    return "the libraries gave " + std::to_string(rows) + " and " + std::to_string(secondRows) + " rows, " +
           std::to_string(CountChecked(*first)) + " and " + std::to_string(CountChecked(*second)) +
           " ticked; expected " + std::to_string(kFewestRows) + " or more rows each, all of gdi32 ticked and " +
           std::to_string(kSecondTicked) + " of user32";
  }
  return {};
}

// The offline road: every function of kernel32 ticked, pages from the set; saves the catalogue into
// `out`. Returns the process exit code.
int RunOffline(const Text& docs, const Text& out) {
  constexpr char kKernel32[] = "/usr/x86_64-w64-mingw32/lib/libkernel32.a";
  if (!testing::HostFileExists(kKernel32)) return Fail(std::string(kKernel32) + " is absent");
  Win32Gui gui;
  ScriptedDialogs dialogs;
  const std::unique_ptr<FileSystem> files = MakeDiskFileSystem();
  RecordingShell shell;
  const std::unique_ptr<Clock> clock = MakeSystemClock();
  Platform platform{gui, dialogs, *files, shell, *clock, DecodeSystemAnsi};
  Session session(platform);
  BuildMainWindow(session);
  if (gui.ControlHandle(kFunctionList) == nullptr) return Fail("the main window could not be created (no X display?)");
  std::shared_ptr<const DocumentationSet> set = LoadDocumentationSetFile(*files, docs);
  if (!set) return Fail("the documentation set could not be read");
  OfflinePageSource source(std::move(set), PageLoadsToEventLoop(session));
  session.lookup.source = &source;
  gui.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, testing::HostPath(kKernel32)});
  DispatchPending(session, gui);
  DispatchPending(session, gui);
  const LibraryEntry* kernel32 = session.catalogue.Find(u"libkernel32");
  if (kernel32 == nullptr) return Fail("kernel32 was not loaded");
  const std::size_t ticked = CountChecked(*kernel32);

  bench::LatencyProbe probe;
  const LARGE_INTEGER start = bench::Now();
  probe.Start();
  RunBatch(session, gui, start);
  probe.Stop();
  const double seconds = bench::MillisecondsSince(start) / 1000.0;
  EndBatchLookup(session);
  session.lookup.source = nullptr;
  std::size_t filled = 0;
  for (const ApiFunction& record : kernel32->functions) filled += record.Return.empty() ? 0u : 1u;
  const bench::LatencySummary waits = probe.Summary();
  std::printf("offline batch in the main window: %zu functions ticked, %zu with a return type, %.2f s, %.0f functions/s\n",
              ticked, filled, seconds, static_cast<double>(ticked) / seconds);
  std::printf("user-interface thread, wait of a posted message: %zu probes, median %.2f ms, 99th percentile %.2f ms, "
              "maximum %.2f ms\n", waits.count, waits.median, waits.p99, waits.maximum);
  std::printf("goal (no message waits more than %.0f ms): %s\n", kGoalMilliseconds,
              waits.maximum <= kGoalMilliseconds ? "holds" : "MISSED");
  std::printf("status bar at the end: \"%s\" \"%s\"\n", TextToUtf8(gui.GetStatusText(kStatusMessage)).c_str(),
              TextToUtf8(gui.GetStatusText(kStatusTime)).c_str());
  const std::vector<SavedFile> saved = SaveCatalogueDocuments(session.catalogue, out, *files, *clock);
  if (saved.size() != 1 || saved[0].status != SaveStatus::Written) return Fail("the catalogue file was not written");
  std::printf("saved %s\n", TextToUtf8(saved[0].target).c_str());
  if (filled < ticked / 2) return Fail("fewer than half of the functions got a return type");
  return 0;
}

int Run() {
  for (const char* library : {kLibrary, kSecondLibrary}) {
    if (!testing::HostFileExists(library)) return Fail(std::string(library) + " is absent (install mingw-w64-x86-64-dev)");
  }
  Win32Gui gui;
  ScriptedDialogs dialogs;
  const std::unique_ptr<FileSystem> files = MakeDiskFileSystem();
  RecordingShell shell;
  const std::unique_ptr<Clock> clock = MakeSystemClock();  // the batch really sleeps between its polls
  Platform platform{gui, dialogs, *files, shell, *clock, DecodeSystemAnsi};
  Session session(platform);
  BuildMainWindow(session);
  if (gui.ControlHandle(kFunctionList) == nullptr) return Fail("the main window could not be created (no X display?)");

  const std::unique_ptr<LocalHttpServer> server = LocalHttpServer::Start(testing::DocumentationPage);
  if (server == nullptr) return Fail("the local HTTP server could not listen on 127.0.0.1");
  std::unique_ptr<PageSource> source = MakeHttpPageSource(PageLoadsToEventLoop(session));
  session.lookup.source = source.get();
  const Text base = Utf8ToText(server->Address(""));
  session.lookup.endpoints = {base, base};

  const std::string refused = LoadAndTick(session, gui);
  if (!refused.empty()) return Fail(refused);
  const LibraryEntry* first = session.catalogue.Find(u"libgdi32");
  const LibraryEntry* second = session.catalogue.Find(u"libuser32");
  const std::size_t ticked = CountChecked(*first) + CountChecked(*second);

  bench::LatencyProbe probe;
  const LARGE_INTEGER start = bench::Now();
  probe.Start();
  const std::vector<double> librarySwitches = RunBatch(session, gui, start);
  probe.Stop();
  const double seconds = bench::MillisecondsSince(start) / 1000.0;
  EndBatchLookup(session);
  session.lookup.source = nullptr;
  source.reset();

  // The batch ends on the last library it looked up in: user32 stays shown.
  const std::size_t lookedUp = CountLookedUp(*first, gui, false) + CountLookedUp(*second, gui, session.catalogue.Shown() == second);
  const bench::LatencySummary waits = probe.Summary();
  std::printf("batch in the main window: %zu of %zu functions looked up in %.1f s, %.1f functions/s\n", lookedUp,
              ticked, seconds, static_cast<double>(lookedUp) / seconds);
  std::printf("user-interface thread, wait of a posted message: %zu probes, median %.2f ms, 99th percentile %.2f ms, "
              "maximum %.2f ms\n", waits.count, waits.median, waits.p99, waits.maximum);
  for (const bench::LatencySample& sample : probe.Longest(5)) {
    std::printf("  long wait: %.2f ms, posted %.3f s into the batch\n", sample.waitMilliseconds, sample.atSeconds);
  }
  for (const double at : librarySwitches) std::printf("  the batch showed a library %.3f s into the batch\n", at);
  std::printf("goal (no message waits more than %.0f ms): %s\n", kGoalMilliseconds,
              waits.maximum <= kGoalMilliseconds ? "holds" : "MISSED");
  if (lookedUp != ticked) return Fail("only " + std::to_string(lookedUp) + " of " + std::to_string(ticked) + " functions were looked up");
  if (waits.count <= 100) return Fail("only " + std::to_string(waits.count) + " probes were answered; the measurement is void");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  korvane::test::PrepareProcessLikeTheProgram();
  korvane::Text docs, out;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring option = argv[i];
    const korvane::Text value(argv[i + 1], argv[i + 1] + std::wcslen(argv[i + 1]));
    if (option == L"--docs") docs = value;
    if (option == L"--out") out = value;
  }
  const int exitCode = docs.empty() ? Run() : RunOffline(docs, out);
  OleUninitialize();
  return exitCode;
}
