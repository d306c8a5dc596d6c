#pragma once
// Reading a Parameters or Return text as a user sees it ('_In_opt_ HWND hWnd, _In_ UINT uType') and
// resolving its types through a typedef table and the built-in one.

#include <map>
#include <optional>
#include <vector>

#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

// One parameter of a text: its name (empty when the text gives none) and its type as written with the
// annotations gone ('HWND', 'const char *', 'struct in_addr').
struct TextParameter {
  Text name;
  Text type;
};

// The parameters of a Parameters text, split at the commas outside parentheses and brackets.
// Annotations ('_In_', '_Out_writes_(n)', '[in]', 'IN', 'OPTIONAL', '__in_opt') are skipped. An empty
// text, 'void' and 'VOID' give no parameter; '...' gives a parameter of type '...'.
std::vector<TextParameter> SplitParameterText(TextView text);

// Which character type the generic ('T') names stand for: LPCTSTR is LPCWSTR for the wide form of a
// function, LPCSTR for the ANSI form.
enum class TextFlavour { kAnsi, kWide };

// The facts of a type as written: a '*', an array or a function pointer make a pointer (a string when
// it points at a const char or wchar_t); otherwise the name is looked up in `typedefs` (may be null),
// then in the built-in table; an unknown name with an 'LP' or 'P' prefix is a pointer. Nothing when
// the type cannot be resolved. '...' is kVariadic.
std::optional<TypeFacts> ResolveTypeText(TextView type, const std::map<Text, TypeFacts>* typedefs,
                                         TextFlavour flavour);

}  // namespace korvane
