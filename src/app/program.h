#pragma once
// The program from start-up to the end of the event loop, on any platform.

#include <functional>
#include <memory>

#include "app/session.h"
#include "platform/platform.h"

namespace korvane {

// Builds the main window, lays it out, attaches the check-box hook, builds the hidden export window
// and shows the main window.
void BuildMainWindow(Session& session);

// The ways this platform can load documentation pages. `browser` gives the embedded browser control's
// source (nullptr when it does not work here); `http` makes an HTTP source. Both report the end of each
// load to the handler they are given. Either may be empty.
struct PageSourceMakers {
  // The program's own folder, ending in a backslash: a documentation set "Korvane.docs" there is used
  // when the settings name none. Empty where the program has no folder of its own (tests).
  Text programFolder;
  std::function<PageSource*(PageLoadHandler onLoad)> browser;
  std::function<std::unique_ptr<PageSource>(PageLoadHandler onLoad)> http;
};

// The page source the settings ask for ("Lookup" / "Engine"). Without a choice, and with "offline", the
// offline documentation set ("Lookup" / "Docs", else "Korvane.docs" in the program's folder) when it can
// be read; then, and with "browser", the browser control when it works; else, and with "http", HTTP.
// An owned source (offline, HTTP) goes to `owned`; the result is nullptr when nothing can load pages.
PageSource* ChoosePageSource(Session& session, const PageSourceMakers& makers, std::unique_ptr<PageSource>& owned);

// Builds the windows through the platform, loads the settings, chooses the page source and runs the
// event loop until the main window is closed. Returns the process exit code (0).
int RunProgram(Platform& platform, const PageSourceMakers& makers = {});

}  // namespace korvane
