#pragma once
// Parameter lists as the IDE's function listing and the library descriptors want them. Pure text
// operations: the catalogue's records are never changed.

#include <cstddef>
#include <vector>

#include "text/text.h"

namespace korvane {

// What happens to source-annotation words ('_In_', '__out_opt', '[in]'); the numbers are the ones the
// settings store.
enum class AnnotationMode { Convert = 1, Keep = 2, Remove = 3 };

enum class ArgumentKind { Point, Other };

// A descriptor record counts arguments in one byte.
inline constexpr std::size_t kMostDescriptorArguments = 255;

struct ArgumentSignature {
  std::size_t count = 0;             // number of arguments
  bool pointByValue = false;         // a POINT structure is passed by value
  std::vector<ArgumentKind> kinds;   // one per argument, only when pointByValue
};

// Applies the fifteen annotation rows in order: Convert replaces each word by its short form, Remove
// deletes it, Keep leaves the text alone. Words match without regard to ASCII letter case and only
// when followed by a blank.
Text ConvertAnnotations(TextView parameters, AnnotationMode mode);

// Turns the commas inside the first parenthesised stretch that is followed by ")," into "." wherever
// that stretch occurs, so a function-pointer parameter's own arguments do not read as separators.
Text ProtectFirstGroupCommas(TextView text);

// Removes, pass after pass, every occurrence of the text from the first "(" through the first ")"
// after it. Nesting is not tracked.
Text StripParenthesisedGroups(TextView text);

// The listing form of a parameter list: '( In HWND hWnd, In UINT uType )'; '( )' for none.
Text DeclarationText(TextView parameters, AnnotationMode mode);

// The argument count and kinds that a library descriptor records. Commas inside square brackets
// ('[in, optional] DWORD dwFlags') and inside the parenthesised groups StripParenthesisedGroups removes
// do not separate arguments.
ArgumentSignature SignatureOf(TextView parameters);

}  // namespace korvane
