#pragma once
// Function prototypes from C headers, read with libclang (Linux build only).

#include <map>
#include <string>
#include <vector>

#include "docs/c_types.h"
#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

struct HeaderPrototype {
  Text name;
  Text returnType;               // as declared, typedef names kept: 'HANDLE', 'BOOL', 'void *'
  std::vector<Text> parameters;  // 'LPCWSTR lpText'; the type alone for an unnamed parameter; '...' last
  Text header;                   // the declaring header's path below its folder: 'winuser.h', 'GL/gl.h'
  // The typed signature: the convention on x86, the return's and each parameter's facts ('...' is
  // kVariadic) with their sizes on both targets. A size stays 0 where the other target's parse did not
  // give the function with the same number of parameters.
  CallingConvention call = CallingConvention::kUnknown;
  TypeFacts returnFacts{};
  std::vector<TypeFacts> parameterTypes{};
};

struct HeaderScan {
  std::vector<HeaderPrototype> prototypes;  // first declaration of each name, in the order met
  std::vector<std::string> problems;        // why the folder or a header could not be read, one line each
  std::map<Text, TypeFacts> typedefs;       // every typedef name met in a signature (its pointee's too)
  CTypes types;                             // records, constants and callbacks of both targets
  std::vector<Text> silentHeaders;          // headers that gave no function, as HeaderPrototype::header
};

struct HeaderFiles {
  std::vector<std::string> paths;     // absolute, in the order they are parsed; windows.h not among them
  std::vector<std::string> problems;  // headers that cannot be parsed, each with its reason
};

// Every ".h" file below `folder` (its subfolders too), the folder's own files before its subfolders'.
// A header that is no regular file, cannot be read, or whose path holds a character that an #include
// line cannot carry (a quote, a control character) is a problem instead.
HeaderFiles FindHeaders(const std::string& folder);

// Parses windows.h and every header FindHeaders finds as one C translation unit for the target
// x86_64-w64-mingw32 with Microsoft extensions and `folder` as the first include path, and returns
// every function declaration (not definition) from a header inside `folder`, named by its path below
// the folder ('winuser.h', 'GL/gl.h'). Types are spelled as the declarations write them after the
// linkage macros are gone; WINBOOL is written BOOL. The same headers are parsed a second time for
// i686-w64-mingw32, for the x86 sizes and calling conventions. Nothing is parsed when a header cannot
// be: a build from part of the folder would pass for a build of all of it.
HeaderScan ScanHeaders(const std::string& folder);

// The spelling of a parameter of type `type` named `name`: 'LPCWSTR lpText', 'int (*compare)(int)',
// 'char buffer[4]', 'LPCWSTR' when unnamed. WINBOOL becomes BOOL, as a whole word.
Text ParameterSpelling(const std::string& type, const std::string& name);

// A type spelling with WINBOOL written BOOL (whole words only).
Text TypeSpelling(const std::string& type);

}  // namespace korvane
