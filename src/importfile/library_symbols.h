#pragma once
// The decorated names an x86 import library gives its functions, for checking a declaration's
// linker name against the library's own.

#include <cstdint>
#include <span>
#include <unordered_map>

#include "platform/file_system.h"
#include "text/text.h"

namespace korvane {

// Undecorated name to the library's symbol. x86: 'MessageBoxW' -> '_MessageBoxW@16', 'wsprintfW' ->
// '_wsprintfW', only names with the x86 underscore kept. x64 names carry no decoration: each maps to
// itself. Empty when the bytes are no archive.
std::unordered_map<Text, Text> DecoratedSymbols(std::span<const std::uint8_t> image, bool x86);

// DecoratedSymbols of the library file at `path`; empty when the file cannot be read, which leaves the
// check of the declarations out.
std::unordered_map<Text, Text> LibraryFileSymbols(FileSystem& files, const Text& path, bool x86);

}  // namespace korvane
