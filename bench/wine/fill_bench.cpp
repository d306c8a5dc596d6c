// How long loading a library into the real main window takes under Wine: a generated x86 library of
// about 10,000 functions is loaded through the program's own command, read from memory so only the
// catalogue work and the list view fill are measured. Prints the fastest and the median of the runs.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/library_commands.h"
#include "app/program_numbers.h"
#include "catalogue/load_files.h"
#include "helpers/archive_writer.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/win32/win32_gui.h"

namespace {

// 'FunctionNNNNN' stdcall names with their import slots, and every tenth as an ANSI/wide pair.
std::vector<std::string> GeneratedNames(int functions) {
  std::vector<std::string> names;
  for (int i = 0; static_cast<int>(names.size()) < functions * 2; ++i) {
    const std::string stem = "_Function" + std::to_string(100000 + i);
    for (const std::string& name : i % 10 == 0 ? std::vector<std::string>{stem + "A@8", stem + "W@8"}
                                                : std::vector<std::string>{stem + "@8"}) {
      names.push_back(name);
      names.push_back("__imp_" + name);
    }
  }
  return names;
}

}  // namespace

int wmain() {
  using namespace korvane;
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  OleInitialize(nullptr);

  Win32Gui gui;
  ScriptedDialogs dialogs;
  MemoryFileSystem files;
  RecordingShell shell;
  FixedClock clock;
  files.AddFile(u"C:\\Lib\\generated.lib", testing::MicrosoftLibrary(GeneratedNames(9100)));
  Platform platform{gui, dialogs, files, shell, clock, DecodeWindows1252};
  Session session(platform);
  BuildMainWindow(session);
  // Without a display Wine creates no window at all, and every list operation quietly does nothing.
  if (gui.ControlHandle(kFunctionList) == nullptr) {
    std::fprintf(stderr, "fill bench: the main window could not be created (is there an X display?)\n");
    return 1;
  }

  // What one load must produce, read once through the loader itself: a run that loads nothing would be
  // timed as a very fast run.
  Catalogue probe;
  const LoadOutcome expected = LoadFiles(probe, files, {u"C:\\Lib\\generated.lib"}, FileKinds::Libraries, DecodeWindows1252);
  for (const SkippedFile& skipped : expected.skipped) {
    std::fprintf(stderr, "fill bench: the generated library is skipped: %s\n",
                 std::string(SkipReasonText(skipped.reason)).c_str());
  }
  const LibraryEntry* entry = probe.Find(u"generated");
  const int expectedRows = entry == nullptr ? 0 : static_cast<int>(entry->functions.size());
  if (expectedRows < 9000) {
    std::fprintf(stderr, "fill bench: the generated library gives %d functions, not about 10,000\n", expectedRows);
    return 1;
  }

  std::vector<double> milliseconds;
  for (int run = 0; run < 7; ++run) {
    const auto start = std::chrono::steady_clock::now();
    LoadLibraries(session, u"C:\\Lib\\generated.lib");
    // The load leaves the window marked for repainting; the painting is part of what the user waits for.
    RedrawWindow(gui.WindowHandle(kMainWindow), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const auto stop = std::chrono::steady_clock::now();
    milliseconds.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    if (gui.RowCount(kFunctionList) != expectedRows) {
      std::fprintf(stderr, "fill bench: run %d filled %d rows of %d; the measurement is void\n", run,
                   gui.RowCount(kFunctionList), expectedRows);
      return 1;
    }
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf("load into the main window: %d rows, fastest %.1f ms, median %.1f ms over %zu runs\n",
              gui.RowCount(kFunctionList), milliseconds.front(), milliseconds[milliseconds.size() / 2],
              milliseconds.size());
  OleUninitialize();
  return 0;
}
