#pragma once
// The main window's commands for catalogue files: "Save XML", "Load XML" and "Merge XML", including
// the automatic merge of the master merge file after every library load.

#include "app/session.h"

namespace korvane {

// Writes one catalogue file per loaded library into the catalogue folder. True when afterwards no
// library holds changes that its catalogue file lacks.
bool SaveCatalogueFiles(Session& session);

// Replaces the catalogue with the libraries described by the chosen catalogue files.
void LoadCatalogueFiles(Session& session);

// Event type 0: merges the catalogue files chosen in a requester. Event type 14002: merges the master
// merge file of the catalogue folder without asking. Other types do nothing.
void MergeCatalogueFiles(Session& session, int eventType);

}  // namespace korvane
