#pragma once
// The export window's commands: showing it, its controls' handlers, and the start-up state it takes
// from the settings. Every choice the user makes in the window is written to the settings at once.

#include "app/session.h"

namespace korvane {

// The main window's "Export PB": disables the main window, then shows the export window centred on
// the screen and active.
void ShowExportWindow(Session& session);

// Puts the export settings read at start-up into the window: the listing switch (with the controls it
// governs), the annotation option and the remembered root folders, none of them selected.
void ApplyExportSettings(Session& session);

// The options "InOut", "_Inout_" and "Remove": store the mode (1, 2 or 3), also when it did not change.
void ChooseAnnotationMode(Session& session, int mode);

// "r": the template field gets the default template again.
void ResetListingTemplate(Session& session);

// The check box "Update APIFunctionListing.txt": the template, "r" and the options follow it, and the
// new state is stored.
void ListingSwitchClicked(Session& session);

// "...": the folder dialog; a folder already in the list is selected, a new one is appended, selected
// and stored as the next "RootDir".
void ChooseRootFolder(Session& session);
// Selects `folder` (ending in a backslash) in the root folder list; one not yet there is appended,
// selected and stored as the next "RootDir".
void RememberRootFolder(Session& session, const Text& folder);

// "Export": exports the ticked libraries into the root folder field's installation. A root that is
// not a folder leaves the window open and says nothing; otherwise the window closes and a message
// tells how the export went.
void RunExport(Session& session);

}  // namespace korvane
