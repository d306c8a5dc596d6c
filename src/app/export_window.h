#pragma once
// The export window as a table of controls, built hidden at start-up by both user-interface backends.

#include "platform/window_description.h"

namespace korvane {

inline constexpr char16_t kExportWindowTitle[] = u"Export to Purebasic";
// The description template of a listing entry, shown at every start (it is never stored).
inline constexpr char16_t kDefaultListingTemplate[] = u"  %RET%  |  %DSC%  |  %GRP%  |  %WEB%";

WindowDescription ExportWindowDescription();

}  // namespace korvane
