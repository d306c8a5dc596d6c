#pragma once
// The IDE names of the C types: a record's structure name and its other names, and the rule for a
// field or parameter name that the IDE would read as a keyword.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <vector>

#include "docs/c_types.h"
#include "text/text.h"

namespace korvane {

struct RecordNames {
  Text name;                 // 'WNDCLASSEXW' for the key '_WNDCLASSEXW'
  bool tagOnly = false;      // C has no typedef for it: the name is its tag ('struct sockaddr_storage')
  std::vector<Text> others;  // the generic name of a wide form: 'WNDCLASSEX'
};

// Every record key's names, from the typedefs that name it without a pointer. The structure's name is
// the one its tag spells without leading underscores or 'tag', else the shortest upper-case typedef, else the
// shortest typedef, else the tag. Its other name is the generic one, when the structure is the wide
// form of a pair and the headers give the generic name ('WNDCLASSEX' for 'WNDCLASSEXW').
std::map<Text, RecordNames> NameRecords(const CTypes& types);

// The name a field or parameter is written with: the C name, with '_' appended when the IDE would read
// it as a keyword.
Text IdeMemberName(TextView cName);

bool IsIdeKeywordName(TextView name);

// The pieces one after another (GCC 12 at -O3 warns falsely, -Wrestrict, on a literal + Text).
Text Joined(std::initializer_list<TextView> pieces);

// The IDE's integer type of that many bytes: b/a, w/u, l, q; empty for other sizes.
Text IdeIntegerType(std::uint32_t size, bool isSigned);

}  // namespace korvane
