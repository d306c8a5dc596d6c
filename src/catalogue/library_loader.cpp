#include "catalogue/library_loader.h"

#include "catalogue/symbol_names.h"
#include "platform/source_location.h"

namespace korvane {

ArchiveReadResult CollectFunctionNames(std::span<const std::uint8_t> image, LibraryEntry& entry,
                                       SingleByteDecoder decode) {
  return ReadImportArchive(
      image,
      [&entry](Text&& name) {
        ApiFunction record;
        record.Function = std::move(name);
        entry.functions.push_back(std::move(record));
        return true;
      },
      decode);
}

LibraryRead ReadLibrary(std::span<const std::uint8_t> image, const Text& path, SingleByteDecoder decode) {
  KORVANE_HERE();
  LibraryRead read;
  read.entry.path = path;
  // Raw names go into plain texts, not records: a record is seven texts wide, and most raw names
  // ("__imp_" twins aside, which the reader drops) are rebuilt by the normalising anyway.
  std::vector<Text> names;
  read.archive = ReadImportArchive(
      image,
      [&names](Text&& name) {
        names.push_back(std::move(name));
        return true;
      },
      decode);
  read.namesRead = names.size();
  if (read.namesRead == 0) return read;
  read.entry.functions = NormaliseNames(std::move(names), read.entry.x86);
  for (ApiFunction& function : read.entry.functions) function.checked = 1;
  return read;
}

}  // namespace korvane
