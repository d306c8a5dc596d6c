#include "importfile/library_symbols.h"

#include "catalogue/archive_reader.h"

namespace korvane {

std::unordered_map<Text, Text> DecoratedSymbols(std::span<const std::uint8_t> image, bool x86) {
  std::unordered_map<Text, Text> symbols;
  ReadImportArchive(image, [&symbols, x86](Text&& raw) {
    if (!x86) {
      symbols.emplace(raw, raw);
    } else if (raw.size() > 1 && raw.front() == u'_') {
      Text name = raw.substr(1, raw.find(u'@') == Text::npos ? Text::npos : raw.find(u'@') - 1);
      if (!name.empty()) symbols.emplace(std::move(name), std::move(raw));
    }
    return true;
  });
  return symbols;
}

std::unordered_map<Text, Text> LibraryFileSymbols(FileSystem& files, const Text& path, bool x86) {
  const FileContent content = files.ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) return {};
  return DecoratedSymbols(content.bytes, x86);
}

}  // namespace korvane
