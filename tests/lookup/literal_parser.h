#pragma once
// The page parser written step by step, one repetition and one rescan at a time: slow, but a direct
// reading of the parser's rules, kept to check the product's one-pass parser against.

#include <optional>

#include "lookup/reference_page.h"

namespace korvane::literal {

Text ExtractSection(TextView page, TextView startMarker, TextView endMarker, SectionMode mode);
std::optional<ReferencePageData> ParseReferencePage(TextView page, TextView functionName, TextView libraryKey);

}  // namespace korvane::literal
