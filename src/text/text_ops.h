#pragma once
// The text operations that the parsers share, with the exact meanings the parsers rely on.
//
// Positions count from 1. Find returns 0 when there is no occurrence. Searches are case-sensitive
// unless their name says otherwise. All lengths are in UTF-16 code units.

#include <cstddef>

#include "text/text.h"

namespace korvane {

// Position (from 1) of the first occurrence of `what` in `text` at or after position `from`; 0 when
// absent. A `from` below 1 searches from position 1. An empty `what` is found at `from` (clamped to 1)
// when that position is at most length + 1.
std::size_t Find(TextView text, TextView what, std::ptrdiff_t from = 1);

// As Find, comparing letters without regard to case (ASCII and Latin-1 letters).
std::size_t FindNoCase(TextView text, TextView what, std::ptrdiff_t from = 1);

// The characters at positions a up to b - 1. Empty when b - 1 < a. When a is 0 (or below) the text
// starts at position 1 and has b characters. Positions past the end are clipped.
Text TextFromTo(TextView text, std::ptrdiff_t a, std::ptrdiff_t b);

// The first `count` characters (all of them when the text is shorter).
Text Left(TextView text, std::size_t count);

// Prefix and suffix tests are TextView's own starts_with / ends_with.

// Replaces every occurrence of `what` with `with`, left to right, non-overlapping, in one pass: replacing
// two blanks with one turns three blanks into two. An empty `what` leaves the text unchanged.
Text ReplaceAll(TextView text, TextView what, TextView with);

// ReplaceAll with an empty replacement.
Text RemoveAll(TextView text, TextView what);

// Number of non-overlapping occurrences, counted left to right. An empty `what` counts 0.
std::size_t CountOf(TextView text, TextView what);

// The text before the first occurrence of `separator` (all of the text when it does not occur). An
// empty separator never occurs.
Text FirstField(TextView text, TextView separator);

// The text between the first and second occurrence of `separator` (to the end when there is no second
// occurrence); empty when `separator` does not occur.
Text SecondField(TextView text, TextView separator);

// Letter case of ASCII and Latin-1 letters (U+00C0..U+00DE and U+00E0..U+00FE, except the signs
// U+00D7 and U+00F7); every other code unit is kept.
Text LowerCase(TextView text);
Text UpperCase(TextView text);

// Orders texts by code unit after LowerCase: 'A.lib' before 'b.lib'.
bool LessNoCase(TextView a, TextView b);

// Removes blanks (U+0020 only) at both ends.
Text Trim(TextView text);

// Removes the whole run of `c` at the start / at the end.
Text RemoveLeading(TextView text, char16_t c);
Text RemoveTrailing(TextView text, char16_t c);

}  // namespace korvane
