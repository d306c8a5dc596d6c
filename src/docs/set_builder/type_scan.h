#pragma once
// The C types of a header parse: records with their layouts, callback typedefs, the names that stand
// for them, and the constants (enum constants and object-like macros, evaluated by clang itself).

#include <filesystem>
#include <string>
#include <vector>

#include "docs/c_types.h"
#include "docs/set_builder/libclang_functions.h"

namespace korvane {

// What one parse of the headers was: its unit, its umbrella source and arguments (the constants are
// evaluated in a second unit made of the same source and the macros' names).
struct ParsedHeaders {
  CXTranslationUnit unit = nullptr;
  const std::filesystem::path* folder = nullptr;
  const std::string* source = nullptr;
  std::vector<const char*> arguments;
  bool x86 = false;
};

// Adds the types of `parsed` for its architecture to `types` (and the type names, which the same
// headers give alike on both). The unit must have been parsed with a detailed preprocessing record.
void ScanTypes(const ParsedHeaders& parsed, CTypes& types);

// `source` with the structure packing reset before each #include: a header that leaves a #pragma pack
// in force (one pushes without popping) must not pack the headers after it, as it would not in a
// program that includes them alone.
std::string WithPackingReset(const std::string& source);

// The facts of a C type on the target parsed; defined by the header scanner, shared with the type scan.
TypeFacts ClangTypeFacts(CXType type, bool x86);

}  // namespace korvane
