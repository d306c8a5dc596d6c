#include "catalogue/save_files.h"

#include <algorithm>
#include <string>

#include "catalogue/catalogue_xml.h"
#include "text/text_ops.h"

namespace korvane {

std::vector<SavedFile> SaveCatalogueDocuments(const Catalogue& catalogue, const Text& folder, FileSystem& files,
                                              Clock& clock) {
  std::vector<SavedFile> results;
  std::vector<std::pair<Text, Text>> written;  // lower-case target and the key of the library written
  catalogue.ForEach([&](const Text& key, const LibraryEntry& entry) {
    SavedFile result{key, entry.path, folder + CatalogueFileName(entry, clock.Now()), SaveStatus::Written, {}};
    const Text lowered = LowerCase(result.target);
    const auto earlier = std::find_if(written.begin(), written.end(), [&](const auto& w) { return w.first == lowered; });
    if (earlier != written.end()) {
      result.status = SaveStatus::NameTaken;
      result.takenBy = earlier->second;
    } else if (!files.WriteWholeFile(result.target, AsBytes(WriteCatalogueDocument(entry)))) {
      result.status = SaveStatus::WriteFailed;
    } else {
      written.emplace_back(lowered, key);
    }
    results.push_back(std::move(result));
  });
  return results;
}

}  // namespace korvane
