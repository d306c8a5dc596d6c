#pragma once
// "Save Import File..." of the "»" menu: the shown library's import file for the IDE, written where
// the user chooses.

#include "app/session.h"

namespace korvane {

// Asks for the file (default: "<library base name>.pbi" in the catalogue folder), writes the shown
// library's typed declarations there and says where it wrote them, or that it could not.
void SaveImportFile(Session& session);

}  // namespace korvane
