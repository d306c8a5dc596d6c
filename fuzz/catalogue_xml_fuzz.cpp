// Any bytes as a catalogue file: reading never crashes or hangs, and a document that parses, written
// out as a library and read again, gives back its records after the writer's clean-up, its path and
// its architecture; writing what was read back gives the same bytes (the written form is a fixed point).
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "catalogue/catalogue_xml.h"

namespace {

using namespace korvane;

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

LibraryEntry Rebuild(const CatalogueDocument& document) {
  LibraryEntry entry;
  entry.path = document.folder + document.rootName;
  entry.x86 = document.x86 != 0 ? 1 : 0;
  entry.functions = document.records;
  return entry;
}

bool SameAfterCleanUp(const ApiFunction& original, const ApiFunction& read) {
  return CleanCatalogueValue(original.Function) == read.Function &&
         CleanCatalogueValue(original.Parameters) == read.Parameters &&
         CleanCatalogueValue(original.Return) == read.Return &&
         CleanCatalogueValue(original.Description) == read.Description &&
         CleanCatalogueValue(original.Group) == read.Group &&
         CleanCatalogueValue(original.Website) == read.Website &&
         CleanCatalogueValue(original.AnsiUni) == read.AnsiUni && original.checked == read.checked;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto document = ReadCatalogueDocument(std::span<const std::uint8_t>(data, size));
  if (!document) return 0;
  const LibraryEntry entry = Rebuild(*document);
  const std::string written = WriteCatalogueDocument(entry);
  const auto again = ReadCatalogueDocument(Bytes(written));
  if (!again) std::abort();
  const LibraryEntry reread = Rebuild(*again);
  if (reread.path != entry.path || reread.x86 != entry.x86) std::abort();
  if (reread.functions.size() != entry.functions.size()) std::abort();
  for (std::size_t i = 0; i < entry.functions.size(); ++i) {
    if (!SameAfterCleanUp(entry.functions[i], reread.functions[i])) std::abort();
  }
  if (WriteCatalogueDocument(reread) != written) std::abort();
  return 0;
}
