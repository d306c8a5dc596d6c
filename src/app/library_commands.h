#pragma once
// The main window's commands for libraries: "Load LIBs", file drops and the Libraries list view, and
// what every load shows afterwards.

#include <cstddef>
#include <functional>

#include "app/session.h"
#include "catalogue/load_files.h"

namespace korvane {

// Replaces the catalogue with the libraries read from the chosen files. `droppedFiles` is empty for
// the button (a requester chooses) or the dropped paths separated by line feeds.
void LoadLibraries(Session& session, const Text& droppedFiles);

// Runs when the Libraries list view's selection changes: shows the selected library, or selects the
// shown library's row again when the click selected nothing new.
void LibrariesSelectionChanged(Session& session);

// Shows the catalogue's library `key` in the function list view, with its path, architecture and
// count (inside RefillFunctionList). With no entry for `key` the list stays empty.
void ShowCatalogueLibrary(Session& session, const Text& key);

// ShowCatalogueLibrary for a worker thread, with the same result, in steps that each run through
// Gui::Invoke: the first freezes drawing, empties the list and shows the library's fields, each next
// one adds up to `rowsPerStep` rows, the last thaws and then runs `last`. The user-interface thread
// handles its messages between steps while drawing stays frozen and the check-box hook detached.
// The fill always completes, a stop asked for meanwhile included.
void ShowCatalogueLibraryInSteps(Session& session, const Text& key, std::size_t rowsPerStep,
                                 const std::function<void()>& last);

// Ends a load (of libraries or of catalogue files) that read into `loaded`: the status bar's message
// field names the files skipped (reasons worded for `kinds`) and any library cut short. When the load gave a library, `loaded`
// replaces the catalogue and is shown (ShowLoadedLibraries, inside RefillFunctionList) and the result
// is true; when it gave none, the catalogue and the views stay as they were and the result is false.
bool TakeLoadedLibraries(Session& session, Catalogue loaded, const LoadOutcome& outcome, FileKinds kinds);

// Shows the catalogue as a load left it: the Libraries rows, the first library's functions, count,
// path and architecture, the commands that need a shown library enabled. With no library it shows the
// empty state and disables those commands.
void ShowLoadedLibraries(Session& session, const LoadOutcome& outcome);

// Enables or disables the commands that need a shown library ("»", lookups, merge, save, export and
// the four check buttons); "msdn Selected" is always disabled here, a row selection enables it.
void EnableLibraryCommands(Gui& gui, bool enabled);

// Asks the loop to run the layout again once the running handler has finished.
void RequestLayout(Gui& gui);

}  // namespace korvane
