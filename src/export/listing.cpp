#include "export/listing.h"

#include <algorithm>
#include <string>
#include <iterator>
#include <utility>

#include "export/byte_lines.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

bool LessFoldingAscii(const ListingEntry& a, const ListingEntry& b) {
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), [](char x, char y) {
    return FoldAscii(static_cast<unsigned char>(x)) < FoldAscii(static_cast<unsigned char>(y));
  });
}

std::string_view AsChars(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A count line is short and all digits but for a leading "-"; only such lines are decoded to check.
bool IsCountLineBytes(std::string_view line) {
  if (line.empty() || line.size() > 20) return false;
  return IsCountLine(Utf8ToText(line));
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

bool IsWordName(TextView name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
  });
}

bool IsListingName(TextView name) { return name.size() <= kLongestListingName && IsWordName(name); }

bool IsUtf16Listing(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    return true;
  }
  const std::size_t pairs = std::min<std::size_t>(bytes.size(), 512) / 2;
  std::size_t evenNuls = 0;
  std::size_t oddNuls = 0;
  for (std::size_t i = 0; i < pairs; ++i) {
    evenNuls += bytes[2 * i] == 0 ? 1u : 0u;
    oddNuls += bytes[2 * i + 1] == 0 ? 1u : 0u;
  }
  // At least half the pairs hold a NUL on one side, and the other side hardly ever does: NULs that end
  // lines of a single-byte file fall on either side alike.
  const auto oneSided = [&](std::size_t side, std::size_t other) { return 2 * side >= pairs && 4 * other < side; };
  return pairs > 0 && (oneSided(oddNuls, evenNuls) || oneSided(evenNuls, oddNuls));
}

void ReadListing(std::span<const std::uint8_t> bytes, ListingMap& map) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (AsChars(bytes).starts_with(kUtf8Mark)) bytes = bytes.subspan(kUtf8Mark.size());
  for (const auto piece : SplitByteLines(bytes)) {
    KORVANE_HERE();
    const std::string_view line = AsChars(piece);
    if (IsCountLineBytes(line)) continue;
    map[std::string(line.substr(0, line.find(' ')))] = std::string(line);
  }
}

std::string ListingLine(TextView text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (c == u'\r' || c == u'\n' || c == u'\0' || c == u'\u00A0') {
      line += ' ';
    } else if (c < 0x80) {
      line += static_cast<char>(c);
    } else if (c == u'\u2018' || c == u'\u2019') {
      line += '\'';
    } else if (c == u'\u201C' || c == u'\u201D') {
      line += '"';
    } else if (c == u'\u2013' || c == u'\u2014') {
      line += '-';
    } else if (c == u'\u2026') {
      line += "...";
    } else {
      // One mark for one character: both halves of a surrogate pair are that one character.
      const bool pair = c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
                        text[at + 1] <= 0xDFFF;
      if (pair) ++at;
      line += '?';
    }
  }
  return line;
}

Text FillTemplate(TextView descriptionTemplate, const ApiFunction& function) {
  const std::pair<TextView, const Text*> fields[] = {{u"%RET%", &function.Return},
                                                     {u"%DSC%", &function.Description},
                                                     {u"%GRP%", &function.Group},
                                                     {u"%WEB%", &function.Website}};
  Text filled;
  std::size_t at = 0;
  while (at < descriptionTemplate.size()) {
    const auto field = std::find_if(std::begin(fields), std::end(fields), [&](const auto& f) {
      return descriptionTemplate.substr(at, f.first.size()) == f.first;
    });
    if (field == std::end(fields)) {
      filled += descriptionTemplate[at++];
    } else {
      filled += *field->second;
      at += field->first.size();
    }
  }
  return filled;
}

bool IsExportable(const ApiFunction& function) {
  return function.checked != 0 && !function.Function.empty() && !function.Return.empty() &&
         SignatureOf(function.Parameters).count <= kMostDescriptorArguments;
}

std::vector<Text> MergeLibrary(ListingMap& map, const std::set<Text>& imports, const LibraryEntry& library,
                               AnnotationMode mode, TextView descriptionTemplate) {
  std::vector<Text> tooLong;
  for (const Text& name : imports) map.erase(TextToUtf8(name));
  for (const ApiFunction& function : library.functions) {
    KORVANE_HERE();
    if (!IsExportable(function)) continue;
    if (!IsListingName(function.Function)) {
      if (IsWordName(function.Function)) tooLong.push_back(function.Function);
      continue;
    }
    // The name is ASCII: the key is the very bytes the line begins with.
    map[TextToUtf8(function.Function)] = ListingLine(function.Function + u' ' +
                                                     DeclarationText(function.Parameters, mode) +
                                                     FillTemplate(descriptionTemplate, function));
  }
  return tooLong;
}

std::vector<ListingEntry> SortedListing(const ListingMap& map) {
  std::vector<ListingEntry> entries;
  entries.reserve(map.size());
  for (const auto& [name, line] : map) entries.push_back({name, line});
  // Stable over the map's exact order, so names that differ only in case always come out alike.
  std::stable_sort(entries.begin(), entries.end(), LessFoldingAscii);
  return entries;
}

std::vector<std::uint8_t> ListingBytes(const std::vector<ListingEntry>& entries) {
  std::vector<std::uint8_t> out;
  const std::string count = std::to_string(entries.size());
  out.insert(out.end(), count.begin(), count.end());
  out.push_back('\r');
  out.push_back('\n');
  for (const ListingEntry& entry : entries) {
    KORVANE_HERE();
    out.insert(out.end(), entry.line.begin(), entry.line.end());
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
