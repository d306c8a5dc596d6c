#pragma once
// Reads the structures and constants of an import file's text as the IDE reads them and lays the
// structures out by the IDE's rules, independently of the writer: fields packed one after another,
// .b .a 1 byte, .c .w .u 2, .l .f 4, .q .d 8, .i and *pointer 4 on x86 and 8 on x64, field.t[n] n
// elements, a nested structure its own size, a StructureUnion as wide as its widest member, a
// structure that extends another starting with the other's fields.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace korvane::testing {

struct LaidField {
  std::string name;   // as written, without '*'
  std::string cName;  // the C member it stands for: the name, or the one a '; C: x' comment gives
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  bool bitFields = false;  // a bit-fields' storage unit: not a C member of its own
  bool padding = false;    // padN or an inline member's structure
};

struct LaidStructure {
  std::string name;
  std::uint32_t size = 0;
  bool cNamed = true;  // false for a structure written for a C member that has no type name
  std::string cSpelling;  // how C names it: the name, or the 'struct x' a '; C: struct x' comment gives
  std::string header;     // the C header its comment names ('; 8 bytes, windef.h')
  std::vector<LaidField> fields;
};

struct LaidConstant {
  std::string header;  // from the '; winuser.h' line above it
  std::string name;
  bool isString = false;
  long long value = 0;
  std::string text;
};

struct LaidFile {
  std::vector<LaidStructure> structures;  // in the file's order
  std::vector<LaidConstant> constants;
  std::vector<std::string> prototypes;    // names
  std::string error;                      // the first line the reader could not take; empty when none
};

LaidFile LayOutIdeFile(const std::string& text, bool x86);

}  // namespace korvane::testing
