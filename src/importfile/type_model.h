#pragma once
// The typed model of an import file's structures, constants and callback prototypes: each with its
// final IDE name and, for a structure, its fields with the padding that makes every offset the C
// compiler's. Built from the set's C facts for one architecture (BuildTypeBlocks), written as text by
// WriteTypeBlocks; nothing here asks the headers anything and nothing in the builder writes text.

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/api_function.h"
#include "docs/c_types.h"
#include "docs/documentation_set.h"
#include "importfile/type_names.h"
#include "text/text.h"

namespace korvane {

struct IdeField {
  enum class Kind : std::uint8_t { kField, kUnionStart, kUnionEnd };
  Kind kind = Kind::kField;
  Text name;              // as written; empty for kUnionStart and kUnionEnd
  bool pointer = false;   // written '*name'
  Text type;              // 'l', 'i', 'c', 'POINT'; empty for a pointer
  std::uint32_t count = 0;  // array elements; 0 when not an array
  Text cName;             // the C member it stands for; empty for padding and inline records
  Text comment;           // why it is written so: bit-fields, bytes for an inexpressible type
};

struct IdeStructure {
  Text name;
  Text extends;  // set for another name of the same layout: written 'Structure NAME Extends OTHER'
  std::vector<IdeField> fields;
  std::uint32_t size = 0;  // the C size, which the fields add up to
  Text note;               // for a structure that C does not name: whose member it is
  Text header;             // the declaring C header: 'winuser.h'
};

struct IdeConstant {
  Text name;    // without '#'
  Text value;   // '15', '-1', '$80000000', '"text"'
  Text header;  // the declaring C header
};

struct IdePrototype {
  Text name;
  bool c = false;       // PrototypeC: the cdecl convention on x86
  Text returned;        // '.i', '.l', empty for void
  std::vector<Text> parameters;  // 'hWnd.i'
};

struct TypeBlocks {
  std::vector<IdeStructure> structures;  // each after the structures it contains
  std::vector<IdeConstant> constants;
  std::vector<IdePrototype> prototypes;
};

// What a library's file gets: the records the functions take (through any number of pointers), the
// callbacks they take, and the constants of `headers`.
struct TypeSelection {
  std::vector<Text> records;    // record keys
  std::vector<Text> callbacks;  // callback names as the functions spell them (generic names too)
  std::vector<Text> headers;    // 'winuser.h'
};

// The selection for `library`'s functions (every one, or only the ticked ones), from the set's
// signatures. kernel32 and advapi32 also get winnt.h's constants, which their functions take.
TypeSelection SelectTypes(const LibraryEntry& library, const DocumentationSet& set, const CTypes& types,
                          bool tickedOnly);

// The model for `selection` on one architecture: the selected records and every record they contain,
// the constants, the prototypes.
TypeBlocks BuildTypeBlocks(const CTypes& types, const TypeSelection& selection, bool x86);

// What BuildTypeBlocks looks things up in, made once for a set's types.
struct TypeIndex {
  std::unordered_map<Text, const CRecord*> x64Records;
  std::unordered_map<Text, const CRecord*> x86Records;
  std::map<Text, std::vector<const CConstant*>> x64Constants;  // by header
  std::map<Text, std::vector<const CConstant*>> x86Constants;
  std::map<Text, RecordNames> names;
};
TypeIndex IndexTypes(const CTypes& types);
TypeBlocks BuildTypeBlocks(const CTypes& types, const TypeIndex& index, const TypeSelection& selection, bool x86);

// The blocks' text, each definition guarded by CompilerIf Not Defined(...), CR LF line ends; empty
// when there is nothing to write.
std::string WriteTypeBlocks(const TypeBlocks& blocks);

// The same as BuildTypeBlocks + WriteTypeBlocks for a library over the set's types: what an import
// file appends after its Import blocks. Empty when the set records no types.
std::string LibraryTypeBlocks(const LibraryEntry& library, const DocumentationSet& set, bool tickedOnly);

}  // namespace korvane
