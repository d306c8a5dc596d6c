#pragma once
// Decoding of single-byte symbol names with the system's ANSI code page (the window program's choice).

#include "text/text.h"

namespace korvane {

Text DecodeSystemAnsi(std::span<const std::uint8_t> bytes);

}  // namespace korvane
