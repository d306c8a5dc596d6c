#pragma once
// Reading the names of an import library's symbol directory and keeping those that denote functions.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "catalogue/api_function.h"
#include "text/text.h"

namespace korvane {

// Receives each kept raw symbol name in directory order; returns true to continue, false to stop.
using SymbolConsumer = std::function<bool(Text&& rawName)>;

// How a directory scan ended. `offset` is relative to the start of the directory body.
struct ScanResult {
  enum class End { Complete, Truncated, Stopped };
  End end = End::Complete;
  std::string_view field;  // the field that ran past the body when Truncated
  std::uint64_t offset = 0;
};

// True when a symbol name is not a function of its own: the thunk and descriptor symbols, the "__imp_"
// pointers, floating-point constants and C++-decorated names.
bool IsDroppedSymbolName(TextView name);

// True for the helper symbols of the GNU toolchain's import libraries ("__head_...", "_head_...",
// "..._iname"), which a GNU-layout directory lists beside the functions.
bool IsGnuImportHelper(TextView name);

// Scans a Microsoft second linker member: little-endian member count M, M offsets, symbol count N,
// N 16-bit member indices, then N zero-terminated names. Never reads outside `body`: a count or a
// name that would run past its end ends the scan, keeping the names already delivered.
ScanResult ScanSymbolNames(std::span<const std::uint8_t> body, const SymbolConsumer& consumer,
                           SingleByteDecoder decode);

// Scans a GNU / System V symbol table (the first member, named "/" or "/SYM64/"): big-endian count N,
// N big-endian member offsets, then N zero-terminated names. `wide` selects the 64-bit form.
ScanResult ScanGnuSymbolTable(std::span<const std::uint8_t> body, bool wide, const SymbolConsumer& consumer,
                              SingleByteDecoder decode);

// Removes control characters (U+0000 to U+001F) from the names and drops the names left empty, before
// and after the rest: decides the library's architecture, removes the x86 decoration, removes
// duplicates, adds a generic entry for each ANSI/wide pair and sorts the list by code unit.
void NormaliseLibraryNames(LibraryEntry& entry);

// The same on raw names: the library's functions, unticked, and its architecture in `x86`.
std::vector<ApiFunction> NormaliseNames(std::vector<Text> names, int& x86);

}  // namespace korvane
