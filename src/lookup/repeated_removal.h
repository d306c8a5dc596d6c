#pragma once
// The repeated "find the first opener, cut to the next closer, replace every copy of that piece" passes
// of the page parser, computed in one left-to-right sweep.
//
// Read step by step, such a pass repeats n times (n = the number of openers in the text at the start):
// take the first opener at a, the first closer from a at b, and replace every copy of the piece from a
// to the closer's end in the whole text; then start again on the changed text. A repetition that finds
// no opener does nothing. One that finds an opener but no closer after it replaces every closer in the
// text (the piece is then the closer alone). Rescanning the whole text for each distinct piece is
// quadratic in the number of pieces; the sweep below gives the same text in one pass over it.

#include <cstddef>

#include "text/text.h"

namespace korvane {

struct RepeatedRemoval {
  TextView opener;       // "<", "${" or "{{"
  TextView closer;       // ">", "}" or "}}"
  TextView replacement;  // what every copy of a piece becomes
  // One piece with its own replacement ("</P>" becomes a tag mark and a blank).
  TextView specialPiece;
  TextView specialReplacement;
};

// The text after `repetitions` repetitions of `pass`.
Text ApplyRepeatedRemoval(TextView text, const RepeatedRemoval& pass, std::size_t repetitions);

}  // namespace korvane
