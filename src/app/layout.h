#pragma once
// Moves and sizes the controls that follow the main window's edges.

#include "platform/gui.h"

namespace korvane {

void LayoutMainWindow(Gui& gui);

}  // namespace korvane
