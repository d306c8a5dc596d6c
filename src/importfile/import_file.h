#pragma once
// The IDE's import file for one library: typed "Import ... EndImport" blocks that declare each function
// as the IDE names the functions it imports itself ('MessageBoxW_'), with the IDE's own types and the
// linker's symbol. Pure: the catalogue's records and the documentation set's types in, text out. The
// decisions are made on a model (import_model.h); this writes it.

#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/api_function.h"
#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

struct ImportFileRequest {
  const LibraryEntry* library = nullptr;
  Text libraryFileName;                    // 'user32.lib': what the Import line names
  const DocumentationSet* set = nullptr;   // typed signatures and typedefs; null: the built-in table only
  // The library's own symbols by undecorated name (see library_symbols.h), when the library file is at
  // hand; null otherwise. Each x86 declaration's linker name is checked against them; on both targets
  // they tell a generic entry the program added from a function the library itself exports.
  const std::unordered_map<Text, Text>* symbols = nullptr;
  // After the Import blocks: the structures, callback prototypes and constants the library's functions
  // need, from the set's C types (see type_model.h); of every function, or of the ticked ones only.
  bool types = true;
  bool typesOfTickedOnly = false;
  // The IDE names (IdeNameKey) declared by earlier files of the same run, each with the file that
  // declares it; null for a file on its own. A name found here is left out with a comment that says
  // where it is; the names this file declares are added.
  std::unordered_map<Text, Text>* runNames = nullptr;
  Text importFileName;  // 'user32.pbi': what the comments of later files name; ImportFileName when empty
};

// An x86 declaration whose linker name differs from the library's symbol: it is written as a comment.
struct SymbolMismatch {
  Text function;
  Text declared;  // '_MessageBoxW@12'
  Text library;   // '_MessageBoxW@16'
};

struct ImportFile {
  std::string bytes;  // UTF-8 with byte-order mark, CR LF line ends
  int declared = 0;   // functions declared
  int commented = 0;  // functions written as a comment that says why they are not declared
  int variadic = 0;   // declared functions that end in optional slots for their variable part
  std::vector<SymbolMismatch> mismatches;
};

// The file for the ticked functions with a non-empty Return, in catalogue order; for a library none of
// whose functions was looked up, with a set, every ticked function the set knows. The same request
// gives the same bytes. No control character of the records reaches the file: each becomes a blank.
ImportFile WriteImportFile(const ImportFileRequest& request);

// 'user32.lib' -> 'user32.pbi'; 'libuser32.a' -> 'libuser32.pbi'.
Text ImportFileName(TextView libraryFileName);

}  // namespace korvane
