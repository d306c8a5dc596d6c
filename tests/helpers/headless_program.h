#pragma once
// The whole program on the in-memory platform: tests start it, act as the user and let the loop run.

#include "app/batch_lookup.h"
#include "app/event_loop.h"
#include "app/program.h"
#include "platform/headless/headless_gui.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane::testing {

struct HeadlessProgram {
  // `otherClock`, when given, replaces the fixed clock (a test that watches the program's sleeps).
  explicit HeadlessProgram(Scale scale = {}, Clock* otherClock = nullptr)
      : gui(scale), platform{gui, dialogs, files, shell, otherClock != nullptr ? *otherClock : clock, DecodeWindows1252} {}

  // Builds the main window and loads the settings, as start-up and the loop's first step do.
  void Start() {
    BuildMainWindow(session);
    ApplySettings(session);
  }
  // Lets the loop handle every queued event, including those the handlers queue. The end of what is
  // queued ends a running batch, as closing would, but asks nothing: nobody closed the window.
  void Pump() {
    for (;;) {
      const Event event = gui.WaitEvent();
      if (HeadlessGui::IsIdleClose(event)) {
        EndBatchLookup(session);
        return;
      }
      if (!DispatchEvent(session, event)) return;
    }
  }

  MemoryFileSystem files;
  HeadlessGui gui;
  ScriptedDialogs dialogs;
  RecordingShell shell;
  FixedClock clock;
  Platform platform;
  Session session{platform};
};

}  // namespace korvane::testing
