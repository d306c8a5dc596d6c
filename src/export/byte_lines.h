#pragma once
// Cutting bytes into lines the way the IDE's text files and the symbol tables of libraries are read.

#include <cstdint>
#include <span>
#include <vector>

namespace korvane {

// The lines of `bytes`: a line ends at CR, LF or NUL, CR LF counting as one end; a last line without
// an end is a line too, and nothing follows a final end. The views point into `bytes`.
std::vector<std::span<const std::uint8_t>> SplitByteLines(std::span<const std::uint8_t> bytes);

}  // namespace korvane
