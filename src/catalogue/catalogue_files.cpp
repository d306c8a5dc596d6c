#include "catalogue/catalogue_files.h"

#include <unordered_map>

#include "text/text_ops.h"

namespace korvane {

void MergeSet::Replace(const Text& libraryFileName, std::vector<ApiFunction> records) {
  for (auto& [name, existing] : files_) {
    if (name == libraryFileName) {
      existing = std::move(records);
      return;
    }
  }
  files_.emplace_back(libraryFileName, std::move(records));
}

std::optional<CatalogueDocument> ReadCatalogueFile(FileSystem& files, const Text& path) {
  const FileContent content = files.ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) return std::nullopt;
  return ReadCatalogueDocument(content.bytes);
}

LibraryEntry ToLibraryEntry(CatalogueDocument document) {
  LibraryEntry entry;
  entry.functions = std::move(document.records);
  entry.path = document.folder + document.rootName;
  entry.x86 = document.x86 != 0 ? 1 : 0;
  return entry;
}

void ApplyCatalogueDocument(LibraryEntry& entry, CatalogueDocument document) {
  entry = ToLibraryEntry(std::move(document));
  for (ApiFunction& record : entry.functions) {
    if (LowerCase(record.Parameters) == u"void") record.Parameters.clear();
  }
}

void MergeIntoCatalogue(Catalogue& catalogue, const MergeSet& merge) {
  // The last merge record visited for each name is the one every match ends with.
  std::unordered_map<Text, const ApiFunction*> latest;
  for (const auto& [file, records] : merge.Files()) {
    for (const ApiFunction& record : records) latest[record.Function] = &record;
  }
  if (latest.empty()) return;
  catalogue.ForEach([&latest](const Text&, LibraryEntry& entry) {
    for (ApiFunction& record : entry.functions) {
      if (auto found = latest.find(record.Function); found != latest.end()) record = *found->second;
    }
  });
}

}  // namespace korvane
