#pragma once
// The record of one exported function and of one loaded library.

#include <array>
#include <vector>

#include "text/text.h"

namespace korvane {

// One exported function. The field order is also the order of the child elements in a catalogue file.
struct ApiFunction {
  Text Function;     // name after normalisation, unique within its library
  Text Parameters;   // parameter list without parentheses
  Text Return;       // return type; empty means not yet looked up
  Text Description;
  Text Group;
  Text Website;      // address of the reference page
  Text AnsiUni;      // common stem of an ANSI/wide pair ('MessageBox'), else empty
  int checked = 0;   // 1 when the function takes part in the lookup and the export
  bool operator==(const ApiFunction&) const = default;
};

// One loaded library.
struct LibraryEntry {
  std::vector<ApiFunction> functions;
  Text path;     // full path of the library file
  int x86 = 0;   // 1 when every symbol carries 32-bit x86 decoration
};

// "x86" or "x64", as the architecture field and the command line show it.
Text ArchitectureText(const LibraryEntry& entry);

// The six column texts of a function row: Function, Parameters, Return, Description, Group, Website.
using RowTexts = std::array<Text, 6>;
RowTexts RowText(const ApiFunction& record);

// The status bar's function-count text: " 1021 Functions".
Text FunctionCountText(std::size_t count);

}  // namespace korvane
