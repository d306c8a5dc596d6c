#pragma once
// A small grammar of the IDE's import files, for checking every line a test writes:
//   file        = comment-line { blank | comment | block }
//   block       = ('Import' | 'ImportC') ' "' name '"' { declaration | comment } 'EndImport'
//   declaration = '  ' identifier [ '.' type ] '(' [ parameter { ', ' parameter } ] ')' [ ' As "' symbol '"' ]
//   parameter   = '*' identifier | identifier '.' type [ ' = 0' ]
//   type        = b | a | w | u | l | q | i | f | d | p-ascii | p-unicode
//   comment     = [ '  ' ] ';' text

#include <optional>
#include <string>
#include <vector>

namespace korvane::testing {

struct DeclaredParameter {
  std::string name;  // with its '*' for a pointer
  std::string type;  // '*' for a pointer
  bool optional = false;
};

struct Declaration {
  std::string name;
  std::string returnType;  // empty for none
  std::vector<DeclaredParameter> parameters;
  std::string symbol;      // empty without "As"
  bool inImportC = false;  // inside an ImportC block
};

struct ParsedImportFile {
  std::vector<Declaration> declarations;
  std::vector<std::string> comments;  // the comment lines inside blocks, without indentation
  std::string error;                  // the first line that breaks the grammar, and why; empty when none
};

// Parses a whole file: UTF-8 byte-order mark, CR LF after every line.
ParsedImportFile ParseImportFile(const std::string& bytes);

// The bytes a type takes on the x86 stack: 8 for .q and .d, 4 for every other type (a pointer '*' too).
int StackBytes(const std::string& type);

}  // namespace korvane::testing
