#pragma once
// The written form of a type's facts, as the documentation set file holds them:
// "<kind> <x86 size>/<x86 alignment> <x64 size>/<x64 alignment>", e.g. "unsigned 4/4 4/4",
// "pointer-wchar 4/4 8/8", "record 8/4 8/4". Kinds: void, signed, unsigned, float, pointer,
// pointer-char (const char *), pointer-wchar (const wchar_t *), enum, record, variadic.

#include <optional>
#include <string>
#include <string_view>

#include "docs/documentation_set.h"

namespace korvane {

// Empty for kUnknown: the file leaves such a type out.
std::string TypeFactsText(const TypeFacts& facts);

// Nothing when the text is not of the form above (then the type counts as unknown).
std::optional<TypeFacts> ParseTypeFacts(std::string_view text);

// "stdcall", "cdecl"; empty for kUnknown.
std::string_view CallingConventionText(CallingConvention call);
CallingConvention ParseCallingConvention(std::string_view text);

}  // namespace korvane
