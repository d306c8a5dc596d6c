#include "catalogue/symbol_names.h"

#include <algorithm>
#include <array>
#include <optional>

#include "catalogue/byte_view.h"

namespace korvane {
namespace {

// Names with these beginnings are not functions. "__imp_" also covers the "__imp_??" pointers to
// C++-decorated functions.
constexpr std::array<TextView, 6> kDroppedPrefixes = {
    u"\x7F",         // "\x7F..._NULL_THUNK_DATA"
    u"__IMPORT_",    // "__IMPORT_DESCRIPTOR_<dll>"
    u"__NULL_IM",    // "__NULL_IMPORT_DESCRIPTOR"
    u"__imp_",       // the import address table slot of a function
    u"__real@",      // floating-point constants
    u"?",            // C++-decorated names
};

// Walks `count` zero-terminated names starting at `tableOffset`, offering every kept name to the
// consumer in table order.
ScanResult ScanNameTable(const ByteView& body, std::uint64_t tableOffset, std::uint64_t count,
                         bool dropGnuHelpers, const SymbolConsumer& consumer, SingleByteDecoder decode) {
  std::uint64_t position = tableOffset;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::span<const std::uint8_t> rest = body.Rest(position);
    const auto terminator = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    if (terminator == rest.end()) {
      return {ScanResult::End::Truncated, "symbol name", position};
    }
    const auto length = static_cast<std::size_t>(terminator - rest.begin());
    const Text name = decode(rest.first(length));
    position += length + 1;
    if (IsDroppedSymbolName(name) || (dropGnuHelpers && IsGnuImportHelper(name))) continue;
    if (!consumer(name)) return {ScanResult::End::Stopped, {}, position};
  }
  return {};
}

}  // namespace

bool IsDroppedSymbolName(TextView name) {
  return std::any_of(kDroppedPrefixes.begin(), kDroppedPrefixes.end(),
                     [name](TextView prefix) { return name.starts_with(prefix); });
}

bool IsGnuImportHelper(TextView name) {
  return name.starts_with(u"__head_") || name.starts_with(u"_head_") || name.ends_with(u"_iname");
}

ScanResult ScanSymbolNames(std::span<const std::uint8_t> bytes, const SymbolConsumer& consumer,
                           SingleByteDecoder decode) {
  const ByteView body(bytes);
  const auto memberCount = body.U32LittleEndian(0);
  if (!memberCount) return {ScanResult::End::Truncated, "member count", 0};
  const std::uint64_t symbolCountOffset = 4 + 4 * std::uint64_t{*memberCount};
  const auto symbolCount = body.U32LittleEndian(symbolCountOffset);
  if (!symbolCount) return {ScanResult::End::Truncated, "symbol count", symbolCountOffset};
  const std::uint64_t indicesOffset = symbolCountOffset + 4;
  const std::uint64_t tableOffset = indicesOffset + 2 * std::uint64_t{*symbolCount};
  if (!body.Fits(indicesOffset, tableOffset - indicesOffset)) {
    return {ScanResult::End::Truncated, "member indices", indicesOffset};
  }
  return ScanNameTable(body, tableOffset, *symbolCount, false, consumer, decode);
}

ScanResult ScanGnuSymbolTable(std::span<const std::uint8_t> bytes, bool wide, const SymbolConsumer& consumer,
                              SingleByteDecoder decode) {
  const ByteView body(bytes);
  const std::uint64_t width = wide ? 8 : 4;
  std::optional<std::uint64_t> symbolCount = body.U64BigEndian(0);
  if (!wide) symbolCount = body.U32BigEndian(0);
  if (!symbolCount) return {ScanResult::End::Truncated, "symbol count", 0};
  // Checked before multiplying: a 64-bit count can be large enough to overflow the offset.
  if (*symbolCount > (body.size() - width) / width) {
    return {ScanResult::End::Truncated, "member offsets", width};
  }
  const std::uint64_t tableOffset = width + width * *symbolCount;
  return ScanNameTable(body, tableOffset, *symbolCount, true, consumer, decode);
}

bool AddFunctionName(Catalogue& catalogue, const Text& rawName, const Text& path) {
  const Text key = LibraryKeyFromPath(path);
  const bool existed = catalogue.Find(key) != nullptr;
  LibraryEntry& entry = catalogue.FindOrCreate(key);
  if (!existed) entry.path = path;
  ApiFunction record;
  record.Function = rawName;
  entry.functions.push_back(std::move(record));
  return true;
}

}  // namespace korvane
