#pragma once
// The IDE's declarations for one library before they become text: each function with its final IDE
// name, its parameters as the IDE types them and the linker symbol, or the reason it is left out. The
// naming rules (the IDE's Name_ form, its keywords, the names it imports itself, names declared by an
// earlier file of the same run) and the type rules (pointers, pseudotypes, structures by value,
// variadic tails) are decided here, where a test can read them without parsing text.

#include <unordered_map>
#include <vector>

#include "importfile/import_file.h"
#include "text/text.h"

namespace korvane {

struct ImportParameter {
  Text name;          // unique in its declaration (letter case ignored), never a keyword
  Text type;          // 'l', 'i', 'p-ascii' ...; empty for a pointer written '*name'
  bool pointer = false;
  bool optional = false;  // a variadic tail's slot: written '= 0'
};

struct ImportDeclaration {
  Text function;    // the C name: 'MessageBoxW'
  Text name;        // the IDE's name: 'MessageBoxW_'
  Text returnType;  // 'l', 'i' ...; empty for void
  std::vector<ImportParameter> parameters;
  Text symbol;      // 'MessageBoxW' on x64, '_MessageBoxW@16' on x86
  bool cdecl = false;  // belongs in the ImportC block (x86 cdecl)
  Text omitted;        // why the function is not declared (it becomes a comment); empty when it is
};

struct ImportModel {
  std::vector<ImportDeclaration> declarations;  // in catalogue order
  std::vector<SymbolMismatch> mismatches;
};

// How many optional integer slots a variadic function's declaration ends in.
inline constexpr int kVariadicSlots = 8;

// The declarations for `request`: the ticked functions with a Return when any function of the library has
// been looked up, else (with a set) every ticked function the set knows, declared from its signature.
ImportModel BuildImportModel(const ImportFileRequest& request);

}  // namespace korvane
