#pragma once
// The decorated names an x86 import library gives its functions, for checking a declaration's
// linker name against the library's own.

#include <cstdint>
#include <span>
#include <unordered_map>

#include "text/text.h"

namespace korvane {

// Undecorated name to the library's symbol: 'MessageBoxW' -> '_MessageBoxW@16', 'wsprintfW' ->
// '_wsprintfW'. Only names with the x86 underscore are kept; empty when the bytes are no archive.
std::unordered_map<Text, Text> DecoratedSymbols(std::span<const std::uint8_t> image);

}  // namespace korvane
