#pragma once
// The program from start-up to the end of the event loop, on any platform.

#include "app/session.h"
#include "platform/platform.h"

namespace korvane {

// Builds the main window, lays it out, attaches the check-box hook, builds the hidden export window
// and shows the main window.
void BuildMainWindow(Session& session);

// Builds the windows through the platform, loads the settings and runs the event loop until the main
// window is closed. Returns the process exit code (0).
int RunProgram(Platform& platform);

}  // namespace korvane
