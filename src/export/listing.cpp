#include "export/listing.h"

#include <algorithm>
#include <string>

#include "export/byte_lines.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool LessFoldingAscii(const ListingEntry& a, const ListingEntry& b) {
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                      [](char16_t x, char16_t y) { return FoldAscii(x) < FoldAscii(y); });
}

void AppendUtf8(std::vector<std::uint8_t>& out, TextView text) {
  const std::string utf8 = TextToUtf8(text);
  out.insert(out.end(), utf8.begin(), utf8.end());
}

std::string_view AsChars(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

bool IsCountLine(TextView line) {
  // The plain decimal text of a value: an optional "-", then "0" or digits without a leading zero;
  // "-0" reads as 0, whose text is "0". Values beyond 64 bits have no plain text that equals them.
  const bool negative = !line.empty() && line[0] == u'-';
  const TextView number = line.substr(negative ? 1 : 0);
  if (number.empty() || number.size() > 19) return false;
  if (!std::all_of(number.begin(), number.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) return false;
  if (number[0] == u'0') return number.size() == 1 && !negative;
  return number.size() < 19 || number <= (negative ? TextView(u"9223372036854775808") : TextView(u"9223372036854775807"));
}

void ReadListing(std::span<const std::uint8_t> bytes, ListingMap& map) {
  for (const auto line : SplitByteLines(bytes)) {
    KORVANE_HERE();
    const Text text = Utf8ToText(AsChars(line));
    if (IsCountLine(text)) continue;
    const std::size_t blank = text.find(u' ');
    if (blank == Text::npos) {
      map[text].clear();
    } else {
      map[text.substr(0, blank)] = Trim(TextView(text).substr(blank));
    }
  }
}

Text FillTemplate(TextView descriptionTemplate, const ApiFunction& function) {
  Text filled = ReplaceAll(descriptionTemplate, u"%RET%", function.Return);
  filled = ReplaceAll(filled, u"%DSC%", function.Description);
  filled = ReplaceAll(filled, u"%GRP%", function.Group);
  return ReplaceAll(filled, u"%WEB%", function.Website);
}

bool IsExportable(const ApiFunction& function) { return function.checked != 0 && !function.Return.empty(); }

void MergeLibrary(ListingMap& map, const std::set<Text>& imports, const LibraryEntry& library, AnnotationMode mode,
                  TextView descriptionTemplate) {
  for (const Text& name : imports) map.erase(name);
  for (const ApiFunction& function : library.functions) {
    KORVANE_HERE();
    if (!IsExportable(function)) continue;
    map[function.Function] = DeclarationText(function.Parameters, mode) + FillTemplate(descriptionTemplate, function);
  }
}

std::vector<ListingEntry> SortedListing(const ListingMap& map) {
  std::vector<ListingEntry> entries;
  entries.reserve(map.size());
  for (const auto& [name, text] : map) entries.push_back({name, text});
  // Stable over the map's exact order, so names that differ only in case always come out alike.
  std::stable_sort(entries.begin(), entries.end(), LessFoldingAscii);
  return entries;
}

std::vector<std::uint8_t> ListingBytes(const std::vector<ListingEntry>& entries) {
  std::vector<std::uint8_t> out;
  AppendUtf8(out, Utf8ToText(std::to_string(entries.size()) + "\r\n"));
  for (const ListingEntry& entry : entries) {
    KORVANE_HERE();
    AppendUtf8(out, entry.name);
    out.push_back(' ');
    AppendUtf8(out, entry.text);
    out.push_back('\r');
    out.push_back('\n');
  }
  return out;
}

std::set<Text> ImportNamesOfLib(std::span<const std::uint8_t> bytes) {
  constexpr std::string_view kImport = "__imp_";
  std::set<Text> names;
  for (const auto line : SplitByteLines(bytes)) {
    KORVANE_HERE();
    // Most pieces of an archive are not import names; look at the raw bytes before decoding.
    std::string_view raw = AsChars(line);
    const std::size_t first = raw.find_first_not_of(' ');
    if (first == std::string_view::npos || raw.substr(first, kImport.size()) != kImport) continue;
    Text name = RemoveAll(RemoveAll(Trim(Utf8ToText(raw)), u"__imp__"), u"__imp_");
    if (!name.empty() && name[0] == u'?') name.erase(0, 1);
    names.insert(FirstField(name, u"@"));
  }
  return names;
}

}  // namespace korvane
