#pragma once
// Changes that no catalogue file has: what an editor Save, a lookup, a merge or a tick did since the
// catalogue was last loaded or saved. Before a command throws the catalogue away (closing the window,
// "Load LIBs", "Load XML") the user is asked whether to save them.

#include "app/session.h"

namespace korvane {

// The whole catalogue as its files hold it: after a load, and after the merge that follows a load.
void RememberCatalogueAsSaved(Session& session);
// One library as its file now holds it: after that file was written.
void RememberLibraryAsSaved(Session& session, const Text& key);
bool HasUnsavedChanges(const Session& session);

// Runs before a command that replaces the catalogue or ends the program. Text typed into the detail
// editor is kept first, as leaving its row keeps it. With changes no catalogue file has, asks
// "Save changes?": Yes saves as "Save XML" does, No goes on without saving, Cancel stops. True when
// the command may go on (a save that left a file unwritten stops it: its message says which).
bool MayReplaceCatalogue(Session& session);

}  // namespace korvane
