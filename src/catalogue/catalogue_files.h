#pragma once
// What catalogue files do to the catalogue: a loaded file becomes a library entry, and merge files
// copy known facts onto the functions of the loaded libraries.

#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_xml.h"
#include "platform/file_system.h"

namespace korvane {

// The master merge file's name in the catalogue folder (no extension).
inline constexpr char16_t kMasterMergeFileName[] = u"Korvane";

// Records read from merge files, keyed by library file name ('user32.lib'), in the order the keys were
// first met; a later file with the same key replaces the earlier file's records.
class MergeSet {
 public:
  void Replace(const Text& libraryFileName, std::vector<ApiFunction> records);
  const std::vector<std::pair<Text, std::vector<ApiFunction>>>& Files() const { return files_; }
  bool Empty() const { return files_.empty(); }

 private:
  std::vector<std::pair<Text, std::vector<ApiFunction>>> files_;
};

// Reads and parses one catalogue file; nothing when it cannot be read or is not well-formed.
std::optional<CatalogueDocument> ReadCatalogueFile(FileSystem& files, const Text& path);

// The library a catalogue file describes, as written in it: its records, path (folder + root name)
// and architecture.
LibraryEntry ToLibraryEntry(CatalogueDocument document);

// Makes `entry` the library a catalogue file describes: its records, path (folder + root name) and
// architecture. A Parameters of "void" in any letter case becomes empty: a function without
// parameters is stored that way everywhere else.
void ApplyCatalogueDocument(LibraryEntry& entry, CatalogueDocument document);

// Copies all eight fields of every merge record over each function of every loaded library with
// exactly the same name; when several merge records carry the name, the last one in merge-set order
// wins. Linear in the number of records.
void MergeIntoCatalogue(Catalogue& catalogue, const MergeSet& merge);

}  // namespace korvane
