#pragma once
// Shared inside the lookup: the section cleaner on a page whose lower-case copy the caller already has
// (the parser searches one page many times without regard to case).

#include "lookup/reference_page.h"
#include "text/text.h"

namespace korvane {

Text ExtractSectionLowered(TextView page, TextView loweredPage, TextView startMarker, TextView endMarker,
                           SectionMode mode);

// Removes the tags of a table-of-contents text outright: `repetitions` times, the first "<" up to the
// next ">" and every copy of that tag.
Text RemoveTagsOutright(TextView text, std::size_t repetitions);

}  // namespace korvane
