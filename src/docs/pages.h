#pragma once
// Pages rendered from the documentation set, in exactly the form the lookup reads: a search result page
// whose first result names the function, and a reference page with the syntax block, the description
// block and the table of contents (the function's group and the group's members).
//
// Page shapes (upper-case tags, double-quoted attributes, as the browser control serialises pages):
//   search:    ... <A class="resultTitleLink" href="BASE/en-us/library/SEGMENT"><B>NAME function</B>
//              (Windows)</A> ...
//   reference: <DIV class="toclevel1">GROUP</DIV>
//              <DIV class="toclevel2"><A href="BASE/en-us/library/SEGMENT">MEMBER</A></DIV> (each member)
//              <div class="clsServerSDKContent"><P>paragraph</P>...</div><h2>Syntax</h2>
//              <div class="codeSnippetContainerCode"><PRE>RETURN NAME(
//                PARAMETER,
//                PARAMETER
//              );</PRE></div>
//   not found: a search page without results, without "toclevel" and without a bold word.
// Texts are written as they are, except "<", which is written as U+2039 so that no text reads as a tag.
// A return type is written as one word (the lookup reads the syntax's first word): 'char*' for
// 'const char *', 'UINT' for 'unsigned int'. A pair's generic name ('MessageBox' for 'MessageBoxA' and
// 'MessageBoxW') has a page of its own, the wide form in generic spelling (generic_function.h).

#include <optional>

#include "docs/documentation_set.h"
#include "text/text.h"

namespace korvane {

// The base used for absolute addresses when the requested address has none that starts with "http".
inline constexpr char16_t kDefaultDocsBase[] = u"https://docs.korvane.local";

// The last segment of a function's reference address: its name with every character other than ASCII
// letters, digits, "_", "-" and "." percent-encoded (UTF-8), followed by ".aspx": 'MessageBoxW.aspx'.
// Names are unique in a set, so the segment is unique, and it depends on nothing but the name, so it
// stays the same from one build of the set to the next.
Text ReferenceSegment(TextView functionName);

// The page for `address`, whatever its base:
// - "<base>/search/en-us?query=%22NAME%20..." (any of the lookup's query suffixes): a search page whose
//   first result is NAME, else the generic form of the pair NAME A/W, else its only wide or ANSI form,
//   else no result;
// - "<base>/en-us/library/SEGMENT": the reference page of the function of that segment, else the page
//   without results.
// Nothing for an address of any other shape.
std::optional<Text> AnswerAddress(const DocumentationSet& set, const Text& address);

// The search page without results.
Text NotFoundPage();

}  // namespace korvane
