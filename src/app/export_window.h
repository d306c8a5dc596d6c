#pragma once
// The export window as a table of controls, built hidden at start-up by both user-interface backends.

#include "platform/window_description.h"

namespace korvane {

inline constexpr char16_t kExportWindowTitle[] = u"Export to Purebasic";

WindowDescription ExportWindowDescription();

}  // namespace korvane
