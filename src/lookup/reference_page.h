#pragma once
// The reference page parser: turns the text of one function's reference page into the values the
// lookup stores. Pure text processing.

#include <map>
#include <optional>

#include "text/text.h"

namespace korvane {

// Stands in for every removed HTML tag while a section is cleaned; never left in a result.
inline constexpr char16_t kTagMark = u'\u007F';

enum class SectionMode {
  PlainMode = 0,   // the syntax block
  NoticeMode = 1,  // the description block: notices at its start are moved to its end
};

struct ReferencePageData {
  Text Parameters;   // without parentheses; 'void' when the page writes it so
  Text Return;       // upper case
  Text Description;  // may end with a carriage return after a moved notice
  Text Group;
  // Table-of-contents entries below the group: title before any "(", trimmed and in lower case, to the
  // entry's absolute address. Ordered by UTF-16 code units.
  std::map<Text, Text> siblings;
  // The page shows each form of an ANSI/wide pair with its own prototype (their parameters differ): the
  // facts read are the looked-up function's alone and go to no relative.
  bool formsApart = false;
};

// The text between `startMarker` (included) and `endMarker`, found without regard to case, with tags,
// template placeholders and white-space noise removed. Empty when either marker is missing.
Text ExtractSection(TextView page, TextView startMarker, TextView endMarker, SectionMode mode);

// The fields of a reference page, or nothing when the page has no table of contents ("toclevel") and
// so is not a reference page. `functionName` is the record's Function, `libraryKey` the shown library's
// key ('user32'), used for the group title of a page whose group is just "Functions".
std::optional<ReferencePageData> ParseReferencePage(TextView page, TextView functionName,
                                                    TextView libraryKey);

}  // namespace korvane
