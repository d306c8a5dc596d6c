#pragma once
// The main window as a table of controls, built by both user-interface backends.

#include "platform/window_description.h"

namespace korvane {

inline constexpr char16_t kProgramTitle[] = u"Korvane (beta 4)";
// The status bar's message field at start-up, and again after a load with nothing to warn about.
inline constexpr char16_t kReadyText[] = u" Ready...";

// The status bar's fields in units: progress bar, function count, message (what the others leave),
// time and credit.
inline constexpr int kStatusFieldUnits[] = {214, 160, -1, 126, 162};

WindowDescription MainWindowDescription();

}  // namespace korvane
