#pragma once
// The IDE's list of known API functions ("Compilers\APIFunctionListing.txt"): reading, merging one
// library's functions in, sorting and the bytes written back.

#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "catalogue/api_function.h"
#include "export/declaration.h"
#include "text/text.h"

namespace korvane {

// The listing's lines by name: the bytes before the first blank, compared exactly (letter case
// included). Each value is the whole line as it is written back, without its line end: a line read
// from the file keeps its bytes, whatever their encoding; a line written in is ASCII (ListingLine). A
// name read again replaces the line.
using ListingMap = std::map<std::string, std::string>;

struct ListingEntry {
  std::string name;
  std::string line;
};

// The default description template: the export window shows it at every start (it is never stored),
// and the command line's export uses it without --template.
inline constexpr char16_t kDefaultDescriptionTemplate[] = u"  %RET%  |  %DSC%  |  %GRP%  |  %WEB%";

// Whether a line is a count line: it is the plain decimal text of its own value ('7785', '0', '-3';
// not '007', '+5', ' 5'). Such lines are skipped wherever they stand.
bool IsCountLine(TextView line);

// The longest name the IDE keeps whole: it copies each name into 256 bytes, its terminator included.
inline constexpr std::size_t kLongestListingName = 255;

// Whether `name` is not empty and holds ASCII letters, digits and "_" only: the characters of a word in
// the IDE's source text and of a name in the language, so no other name can ever be recognised or called.
bool IsWordName(TextView name);

// Whether the IDE can recognise `name` as a listing entry: a word name of at most kLongestListingName
// characters.
bool IsListingName(TextView name);

// Whether a listing's bytes are UTF-16 text: they begin with a UTF-16 byte-order mark, or the bytes of
// their first characters (a listing begins with its count and ASCII names) have NULs on one side, as
// ASCII has in UTF-16. The IDE reads single bytes, so such a listing is unreadable and must not be
// merged into: cut at its NULs it would give one junk entry a character.
bool IsUtf16Listing(std::span<const std::uint8_t> bytes);

// Adds every line of a listing file to `map` under its name. Count lines are skipped, and so is a
// UTF-8 byte-order mark at the start of the file: the IDE reads the count from the first line, and a
// mark before it makes that count 0.
void ReadListing(std::span<const std::uint8_t> bytes, ListingMap& map);

// A line as written into the listing, for an IDE that shows each byte as one character: ASCII, with
// the typographic characters in their ASCII forms (‘ ’ as ', “ ” as ", – — as -, … as ..., the
// no-break space as a blank), every other character (a surrogate pair counts as one) as "?", and CR,
// LF and NUL, which would end the line, as blanks.
std::string ListingLine(TextView text);

// The template with %RET%, %DSC%, %GRP% and %WEB% replaced by the function's fields, in one pass over
// the template: a placeholder inside a field's text stays as it is.
Text FillTemplate(TextView descriptionTemplate, const ApiFunction& function);

// Whether a function goes into the descriptor and the listing: ticked, named, with a return type and
// with no more arguments than a descriptor record can count. The listing also needs IsListingName,
// the descriptor IsWordName.
bool IsExportable(const ApiFunction& function);

// Drops every name in `imports`, then puts in each exportable function of `library` whose name is a
// listing name, as ListingLine of its name, declaration and filled template. Returns the exportable
// functions left out only because their word names are longer than the IDE reads (names of other
// characters are left out of the descriptor too, which reports them).
std::vector<Text> MergeLibrary(ListingMap& map, const std::set<Text>& imports, const LibraryEntry& library,
                               AnnotationMode mode, TextView descriptionTemplate);

// The entries ordered by name, ASCII capitals folded to lower case ("_" before every letter).
std::vector<ListingEntry> SortedListing(const ListingMap& map);

// The file: the number of entries, then each entry's line, every line ending in CR LF.
std::vector<std::uint8_t> ListingBytes(const std::vector<ListingEntry>& entries);

// The undecorated names a library file imports: each NUL-, CR- or LF-terminated piece that begins
// with "__imp_", without "__imp__"/"__imp_", a leading "?" and everything from the first "@".
std::set<Text> ImportNamesOfLib(std::span<const std::uint8_t> bytes);

}  // namespace korvane
