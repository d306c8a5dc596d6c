// Any bytes as a catalogue file: reading never crashes or hangs, and a document that parses, written
// out as a library and read again, gives back its records after the writer's clean-up, its path and
// its architecture; writing what was read back gives the same bytes (the written form is a fixed point).
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "catalogue/catalogue_files.h"
#include "catalogue/catalogue_xml.h"

namespace {

using namespace korvane;

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
  const LibraryEntry entry = ToLibraryEntry(*document);
  const std::string written = WriteCatalogueDocument(entry);
  const auto again = ReadCatalogueDocument(AsBytes(written));
  if (!again) std::abort();
  const LibraryEntry reread = ToLibraryEntry(*again);
  if (reread.path != entry.path || reread.x86 != entry.x86) std::abort();
  if (reread.functions.size() != entry.functions.size()) std::abort();
  for (std::size_t i = 0; i < entry.functions.size(); ++i) {
    if (!SameAfterCleanUp(entry.functions[i], reread.functions[i])) std::abort();
  }
  if (WriteCatalogueDocument(reread) != written) std::abort();
  return 0;
}
