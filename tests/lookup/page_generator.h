#pragma once
// Generated reference pages for the parser's tests and benchmark: real page structure (syntax block,
// description, table of contents) filled with seeded random pieces that stress the parser's passes.

#include <cstdint>
#include <string>

#include "text/text.h"

namespace korvane::testing {

// A page of about `approximateSize` code units built from seed `seed`. With `adversarial` the pieces
// include unbalanced brackets, nested and repeated placeholders and missing markers.
Text GeneratePage(std::uint32_t seed, std::size_t approximateSize, bool adversarial);

}  // namespace korvane::testing
