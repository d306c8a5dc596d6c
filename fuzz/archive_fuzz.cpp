// Any byte string fed to the archive reader and the name normalisation: no crash, no over-read, no
// hang, and every delivered name obeys the drop rules.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "catalogue/archive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  LibraryEntry entry;
  ReadImportArchive(std::span<const std::uint8_t>(data, size), [&](const Text& name) {
    if (IsDroppedSymbolName(name)) std::abort();
    ApiFunction record;
    record.Function = name;
    entry.functions.push_back(std::move(record));
    return true;
  });
  NormaliseLibraryNames(entry);
  for (std::size_t i = 1; i < entry.functions.size(); ++i) {
    if (!(entry.functions[i - 1].Function < entry.functions[i].Function)) std::abort();
  }
  return 0;
}
