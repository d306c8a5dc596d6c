#include "catalogue/library_loader.h"

#include "catalogue/symbol_names.h"

namespace korvane {

ArchiveReadResult CollectFunctionNames(std::span<const std::uint8_t> image, LibraryEntry& entry,
                                       SingleByteDecoder decode) {
  return ReadImportArchive(
      image,
      [&entry](const Text& name) {
        ApiFunction record;
        record.Function = name;
        entry.functions.push_back(std::move(record));
        return true;
      },
      decode);
}

LibraryRead ReadLibrary(std::span<const std::uint8_t> image, const Text& path, SingleByteDecoder decode) {
  LibraryRead read;
  read.entry.path = path;
  read.archive = CollectFunctionNames(image, read.entry, decode);
  read.namesRead = read.entry.functions.size();
  if (read.namesRead == 0) return read;
  NormaliseLibraryNames(read.entry);
  for (ApiFunction& function : read.entry.functions) function.checked = 1;
  return read;
}

}  // namespace korvane
