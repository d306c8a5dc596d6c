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
// '_wsprintfW', and the fastcall and vectorcall forms 'ObfReferenceObject' -> '@ObfReferenceObject@4',
// 'F' -> 'F@@16'; other names are left out. x64 names carry no decoration: each maps to itself. Empty
// when the bytes are no archive.
std::unordered_map<Text, Text> DecoratedSymbols(std::span<const std::uint8_t> image, bool x86);

// DecoratedSymbols of the library file at `path`, read only as far as its symbol directory; empty when
// the file cannot be read, which leaves the check of the declarations out.
std::unordered_map<Text, Text> LibraryFileSymbols(FileSystem& files, const Text& path, bool x86);

}  // namespace korvane
