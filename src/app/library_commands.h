#pragma once
// The main window's commands for libraries: "Load LIBs", file drops and the Libraries list view.

#include "app/session.h"

namespace korvane {

// Replaces the catalogue with the libraries read from the chosen files. `droppedFiles` is empty for
// the button (a requester chooses) or the dropped paths separated by line feeds.
void LoadLibraries(Session& session, const Text& droppedFiles);

// Runs when the Libraries list view's selection changes: shows the selected library, or selects the
// shown library's row again when the click selected nothing new.
void LibrariesSelectionChanged(Session& session);

// Enables or disables the commands that need a shown library ("»", lookups, merge, save, export and
// the four check buttons); "msdn Selected" is always disabled here, a row selection enables it.
void EnableLibraryCommands(Gui& gui, bool enabled);

// Asks the loop to run the layout again once the running handler has finished.
void RequestLayout(Gui& gui);

}  // namespace korvane
