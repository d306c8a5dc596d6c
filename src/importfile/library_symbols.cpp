#include "importfile/library_symbols.h"

#include "catalogue/archive_reader.h"
#include "catalogue/load_files.h"

namespace korvane {
namespace {

// The undecorated name of an x86 symbol: '_Name@8' (stdcall), '_name' (cdecl), '@Name@8' (fastcall),
// 'Name@@8' (vectorcall). Empty for a symbol of none of these forms (import thunks '__imp__...' keep
// their second underscore and are told apart by the caller's lookups).
Text X86Name(const Text& raw) {
  if (raw.size() > 1 && (raw.front() == u'_' || raw.front() == u'@')) {
    const std::size_t at = raw.find(u'@', 1);
    return raw.substr(1, at == Text::npos ? Text::npos : at - 1);
  }
  const std::size_t vector = raw.find(u"@@");
  if (vector != Text::npos && vector > 0 && raw.find_first_not_of(u"0123456789", vector + 2) == Text::npos) {
    return raw.substr(0, vector);
  }
  return {};
}

}  // namespace

std::unordered_map<Text, Text> DecoratedSymbols(std::span<const std::uint8_t> image, bool x86) {
  std::unordered_map<Text, Text> symbols;
  ReadImportArchive(image, [&symbols, x86](Text&& raw) {
    if (!x86) {
      symbols.emplace(raw, raw);
    } else if (Text name = X86Name(raw); !name.empty()) {
      symbols.emplace(std::move(name), std::move(raw));
    }
    return true;
  });
  return symbols;
}

std::unordered_map<Text, Text> LibraryFileSymbols(FileSystem& files, const Text& path, bool x86) {
  // Only the symbol directory is read: the members after it hold nothing the check needs.
  constexpr std::size_t kFirstRead = 16 * 1024;
  const FileContent content = ReadArchiveDirectory(files, path, files.ReadFileRange(path, 0, kFirstRead));
  if (content.status != FileReadStatus::Ok) return {};
  return DecoratedSymbols(content.bytes, x86);
}

}  // namespace korvane
