#pragma once
// Catalogue files: one XML file per library holding its functions' documentation facts. The writer
// produces the program's own fixed layout byte for byte; the reader (expat) accepts any well-formed
// equivalent that declares no entities.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "catalogue/api_function.h"
#include "platform/clock.h"
#include "text/text.h"

namespace korvane {

// What one catalogue file holds.
struct CatalogueDocument {
  Text rootName;  // the root element's name: the library file name with extension ('user32.lib'); for
                  // a root called "library", its "name" attribute when it has one (kFallbackRootName)
  Text folder;    // the root's "path" attribute: the library's folder ('C:\SDK\Lib\')
  int x86 = 0;    // the root's "x86" attribute, read as a number (saturating at INT_MAX)
  std::vector<ApiFunction> records;  // the root's children named "element", in document order
};

// The catalogue file of one library, byte for byte: UTF-8 without byte-order mark, CR LF line ends,
// root named after the file part of `path` (see kFallbackRootName for names XML cannot carry),
// attributes path (folder part) and x86, one "element" per function with the eight fields in record
// order, values cleaned up by CleanCatalogueValue.
std::string WriteCatalogueDocument(const LibraryEntry& entry);

// Parses a catalogue file. Nothing when the bytes are not well-formed XML or the parser refuses them:
// any entity declaration is refused, which shuts out entity expansion attacks. The encoding follows the
// byte-order mark and the declaration, so a UTF-16 file with a byte-order mark reads as well.
// `error`, when given, says why nothing came back.
enum class CatalogueReadError { None, Malformed, EntityDeclaration };
std::optional<CatalogueDocument> ReadCatalogueDocument(std::span<const std::uint8_t> bytes,
                                                       CatalogueReadError* error = nullptr);

// A library file name that is not a plain XML name ('3dfx lib.lib') cannot name the root element. The
// writer then names the root "library" and keeps the real name in a third root attribute, "name"; the
// reader takes rootName from that attribute when the root is called "library". This keeps
// `path` = folder + rootName true for every file the program writes.
inline constexpr char kFallbackRootName[] = "library";

// True for names the writer uses as root element names as they are: an ASCII letter or "_", then ASCII
// letters, digits, ".", "-" or "_" ('user32.lib', 'd3dx9.dll.lib').
bool IsPlainXmlName(TextView name);

// The clean-up applied to element values on writing: carriage returns, line feeds and characters that
// XML cannot carry (controls other than tab, U+FFFE, U+FFFF) are removed, then each run of spaces and
// tabs is reduced to its first character, at the start and end of the value as well. An unpaired
// surrogate becomes U+FFFD, as it does in any UTF-8 file. Applying it twice changes nothing. Attribute values (the folder) are not cleaned up, only stripped of what XML cannot
// carry: a folder name may contain two blanks in a row.
Text CleanCatalogueValue(TextView value);

// "[x86] [12.06.2015-21.42.35] user32.lib.xml": architecture, local time of writing
// ("[%mm.%dd.%yyyy-%hh.%ii.%ss]") and the library file name.
Text CatalogueFileName(const LibraryEntry& entry, const LocalTime& time);

// The library file name that a catalogue file's name carries: the file name (its folder removed) from
// its third blank-separated field to the end, with every ".xml" removed and a final ".xml" in any
// letter case; 'user32.lib'. Taking the rest
// rather than the third field alone keeps library names with blanks ('my lib.lib') whole; the first two
// fields, architecture and time stamp, never contain a blank.
Text LibraryFileNameFromCatalogueFile(TextView path);

}  // namespace korvane
