#pragma once
// The IDE's list of known API functions ("Compilers\APIFunctionListing.txt"): reading, merging one
// library's functions in, sorting and the bytes written back.

#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "catalogue/api_function.h"
#include "export/declaration.h"
#include "text/text.h"

namespace korvane {

// The listing's entries by name, compared exactly (letter case included). A name read again replaces
// the entry's text.
using ListingMap = std::map<Text, Text>;

struct ListingEntry {
  Text name;
  Text text;
};

// The default description template: the export window shows it at every start (it is never stored),
// and the command line's export uses it without --template.
inline constexpr char16_t kDefaultDescriptionTemplate[] = u"  %RET%  |  %DSC%  |  %GRP%  |  %WEB%";

// Whether a line is a count line: it is the plain decimal text of its own value ('7785', '0', '-3';
// not '007', '+5', ' 5'). Such lines are skipped wherever they stand.
bool IsCountLine(TextView line);

// Adds every line of a listing file to `map`: the name is the text before the first blank, the text
// what follows it with blanks removed at both ends. Count lines are skipped.
void ReadListing(std::span<const std::uint8_t> bytes, ListingMap& map);

// The template with %RET%, %DSC%, %GRP% and %WEB% replaced by the function's fields, in this order.
Text FillTemplate(TextView descriptionTemplate, const ApiFunction& function);

// Whether a function goes into the descriptor and the listing: ticked and with a return type.
bool IsExportable(const ApiFunction& function);

// Drops every name in `imports`, then puts in each exportable function of `library` with its
// declaration and filled template.
void MergeLibrary(ListingMap& map, const std::set<Text>& imports, const LibraryEntry& library, AnnotationMode mode,
                  TextView descriptionTemplate);

// The entries ordered by name, ASCII capitals folded to lower case ("_" before every letter).
std::vector<ListingEntry> SortedListing(const ListingMap& map);

// The file: the number of entries, then "name text" per entry, UTF-8, every line ending in CR LF.
std::vector<std::uint8_t> ListingBytes(const std::vector<ListingEntry>& entries);

// The undecorated names a library file imports: each NUL-, CR- or LF-terminated piece that begins
// with "__imp_", without "__imp__"/"__imp_", a leading "?" and everything from the first "@".
std::set<Text> ImportNamesOfLib(std::span<const std::uint8_t> bytes);

}  // namespace korvane
