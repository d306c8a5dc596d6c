#pragma once
// The main window as a table of controls, built by both user-interface backends.

#include "platform/window_description.h"

namespace korvane {

inline constexpr char16_t kProgramTitle[] = u"Korvane (beta 4)";

WindowDescription MainWindowDescription();

}  // namespace korvane
