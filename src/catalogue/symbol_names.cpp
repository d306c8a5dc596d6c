#include "catalogue/symbol_names.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "catalogue/byte_view.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

// Names with these beginnings are not functions. "__imp_" also covers the "__imp_??" pointers to
// C++-decorated functions. All are ASCII, so they can be tested on the raw bytes of a name before it
// is decoded (every code page maps ASCII bytes to themselves).
constexpr std::array<std::string_view, 6> kDroppedPrefixes = {
    "\x7F",         // "\x7F..._NULL_THUNK_DATA"
    "__IMPORT_",    // "__IMPORT_DESCRIPTOR_<dll>"
    "__NULL_IM",    // "__NULL_IMPORT_DESCRIPTOR"
    "__imp_",       // the import address table slot of a function
    "__real@",      // floating-point constants
    "?",            // C++-decorated names
};

template <typename Unit>
bool HasAsciiPrefix(std::span<const Unit> name, std::string_view prefix) {
  return name.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), name.begin(),
                    [](char p, Unit unit) { return static_cast<unsigned>(p) == static_cast<unsigned>(unit); });
}

template <typename Unit>
bool HasAsciiSuffix(std::span<const Unit> name, std::string_view suffix) {
  return name.size() >= suffix.size() && HasAsciiPrefix(name.last(suffix.size()), suffix);
}

template <typename Unit>
bool IsDropped(std::span<const Unit> name) {
  return std::any_of(kDroppedPrefixes.begin(), kDroppedPrefixes.end(),
                     [name](std::string_view prefix) { return HasAsciiPrefix(name, prefix); });
}

template <typename Unit>
bool IsGnuHelper(std::span<const Unit> name) {
  return HasAsciiPrefix(name, "__head_") || HasAsciiPrefix(name, "_head_") || HasAsciiSuffix(name, "_iname");
}

// Every code page maps the ASCII bytes to the same code units, so a name of ASCII bytes alone (nearly
// every symbol name) is widened here; only names with other bytes go through the decoder.
Text DecodeName(std::span<const std::uint8_t> raw, SingleByteDecoder decode) {
  const bool ascii = std::all_of(raw.begin(), raw.end(), [](std::uint8_t b) { return b < 0x80; });
  return ascii ? Text(raw.begin(), raw.end()) : decode(raw);
}

// Walks `count` zero-terminated names starting at `tableOffset`, offering every kept name to the
// consumer in table order.
ScanResult ScanNameTable(const ByteView& body, std::uint64_t tableOffset, std::uint64_t count,
                         bool dropGnuHelpers, const SymbolConsumer& consumer, SingleByteDecoder decode) {
  std::uint64_t position = tableOffset;
  for (std::uint64_t i = 0; i < count; ++i) {
    KORVANE_HERE();
    const std::span<const std::uint8_t> rest = body.Rest(position);
    const void* terminator = rest.empty() ? nullptr : std::memchr(rest.data(), 0, rest.size());
    if (terminator == nullptr) {
      return {ScanResult::End::Truncated, "symbol name", position};
    }
    const auto length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(terminator) - rest.data());
    const std::span<const std::uint8_t> raw = rest.first(length);
    position += length + 1;
    if (IsDropped(raw) || (dropGnuHelpers && IsGnuHelper(raw))) continue;
    if (!consumer(DecodeName(raw, decode))) return {ScanResult::End::Stopped, {}, position};
  }
  return {};
}

}  // namespace

bool IsDroppedSymbolName(TextView name) { return IsDropped(std::span(name.data(), name.size())); }

bool IsGnuImportHelper(TextView name) { return IsGnuHelper(std::span(name.data(), name.size())); }

ScanResult ScanSymbolNames(std::span<const std::uint8_t> bytes, const SymbolConsumer& consumer,
                           SingleByteDecoder decode) {
  KORVANE_HERE();
  const ByteView body(bytes);
  const auto memberCount = body.U32LittleEndian(0);
  if (!memberCount) return {ScanResult::End::Truncated, "member count", 0};
  // The member offsets must fit before the count after them is looked for: otherwise a huge member count
  // would be reported as a symbol count far past the end of the file.
  if (!body.Fits(4, 4 * std::uint64_t{*memberCount})) return {ScanResult::End::Truncated, "member offsets", 4};
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
  KORVANE_HERE();
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

}  // namespace korvane
