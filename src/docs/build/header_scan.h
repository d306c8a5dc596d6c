#pragma once
// Function prototypes from C headers, read with libclang (Linux build only).

#include <string>
#include <vector>

#include "text/text.h"

namespace korvane {

struct HeaderPrototype {
  Text name;
  Text returnType;               // as declared, typedef names kept: 'HANDLE', 'BOOL', 'void *'
  std::vector<Text> parameters;  // 'LPCWSTR lpText'; the type alone for an unnamed parameter; '...' last
  Text header;                   // file name of the declaring header: 'winuser.h'
};

struct HeaderScan {
  std::vector<HeaderPrototype> prototypes;  // first declaration of each name, in the order met
  std::vector<std::string> problems;        // why the folder could not be read, one line each
};

// Parses windows.h and every ".h" directly in `folder` as one C translation unit for the target
// x86_64-w64-mingw32 with Microsoft extensions and `folder` as the first include path, and returns
// every function declaration (not definition) from a header inside `folder`. Types are spelled as the
// declarations write them after the linkage macros are gone; WINBOOL is written BOOL.
HeaderScan ScanHeaders(const std::string& folder);

// The spelling of a parameter of type `type` named `name`: 'LPCWSTR lpText', 'int (*compare)(int)',
// 'char buffer[4]', 'LPCWSTR' when unnamed. WINBOOL becomes BOOL, as a whole word.
Text ParameterSpelling(const std::string& type, const std::string& name);

// A type spelling with WINBOOL written BOOL (whole words only).
Text TypeSpelling(const std::string& type);

}  // namespace korvane
