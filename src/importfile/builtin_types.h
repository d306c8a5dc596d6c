#pragma once
// The commonest Windows types (the integer, handle, pointer, string and pointer-sized types of
// windef.h, winnt.h and basetsd.h) and the C type names, for resolving a parameter list without a
// documentation set.

#include <optional>

#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

// The type of that exact name ('DWORD', 'unsigned long', 'LPCWSTR'); nothing when the table does not
// have it. Multi-word C names are looked up with single blanks between the words.
std::optional<TypeFacts> BuiltInType(TextView name);

}  // namespace korvane
