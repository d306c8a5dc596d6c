// The catalogue file writer. The layout is fixed byte for byte (CR LF, 8 and 16 blank indents, empty
// values as empty-element tags), so the document is assembled as text rather than through a DOM.

#include <algorithm>
#include <string>
#include <string_view>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_xml.h"
#include "text/paths.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr std::string_view kNewLine = "\r\n";
constexpr std::string_view kRecordIndent = "        ";
constexpr std::string_view kFieldIndent = "                ";

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Code units that no XML 1.0 document can hold, not even as a character reference.
bool IsForbiddenInXml(char16_t c) {
  return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
}

// Appends `value[i]` (with its low surrogate, when it starts a pair) to `out`, an unpaired surrogate
// as U+FFFD; returns the index of the last code unit taken.
std::size_t AppendCodePoint(Text& out, TextView value, std::size_t i) {
  const char16_t c = value[i];
  if (IsHighSurrogate(c) && i + 1 < value.size() && IsLowSurrogate(value[i + 1])) {
    out += c;
    out += value[i + 1];
    return i + 1;
  }
  out += (IsHighSurrogate(c) || IsLowSurrogate(c)) ? u'\uFFFD' : c;
  return i;
}

// What XML can carry of an attribute value: everything but forbidden code units, surrogates paired.
Text XmlCharacters(TextView value) {
  Text out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (!IsForbiddenInXml(value[i])) i = AppendCodePoint(out, value, i);
  }
  return out;
}

// The escape of one character that AppendEscaped stops at.
void AppendEscape(std::string& out, char c) {
  switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '\'': out += "&apos;"; break;
    case '"': out += "&quot;"; break;
    case '\n': out += "&#10;"; break;
    case '\r': out += "&#13;"; break;
    case '\t': out += "&#9;"; break;
    default: out += c; break;
  }
}

// Escapes UTF-8 text for element content, or for a double-quoted attribute value. In attributes the
// tab is escaped as well: a parser turns a literal tab in an attribute into a blank.
void AppendEscaped(std::string& out, std::string_view utf8, bool attribute) {
  const std::string_view special = attribute ? std::string_view("&<>'\"\n\r\t") : std::string_view("&<>");
  for (std::size_t start = 0; start < utf8.size();) {
    // Most values need no escape at all: copy the stretch up to the next special character at once.
    const std::size_t stop = std::min(utf8.find_first_of(special, start), utf8.size());
    out.append(utf8.substr(start, stop - start));
    if (stop == utf8.size()) break;
    AppendEscape(out, utf8[stop]);
    start = stop + 1;
  }
}

void AppendAttribute(std::string& out, std::string_view name, TextView value) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendEscaped(out, TextToUtf8(XmlCharacters(value)), true);
  out += '"';
}

// One field line: 16 blanks, then "<Name>value</Name>" or "<Name/>" for an empty value.
void AppendField(std::string& out, std::string_view name, TextView value) {
  out += kFieldIndent;
  out += '<';
  out += name;
  const Text clean = CleanCatalogueValue(value);
  if (clean.empty()) {
    out += "/>";
  } else {
    out += '>';
    AppendEscaped(out, TextToUtf8(clean), false);
    out += "</";
    out += name;
    out += '>';
  }
  out += kNewLine;
}

void AppendRecord(std::string& out, const ApiFunction& record) {
  KORVANE_HERE();
  out += kRecordIndent;
  out += "<element>";
  out += kNewLine;
  AppendField(out, "Function", record.Function);
  AppendField(out, "Parameters", record.Parameters);
  AppendField(out, "Return", record.Return);
  AppendField(out, "Description", record.Description);
  AppendField(out, "Group", record.Group);
  AppendField(out, "Website", record.Website);
  AppendField(out, "AnsiUni", record.AnsiUni);
  AppendField(out, "checked", record.checked != 0 ? u"1" : u"0");
  out += kRecordIndent;
  out += "</element>";
  out += kNewLine;
}

}  // namespace

bool IsPlainXmlName(TextView name) {
  if (name.empty() || !(IsAsciiLetter(name[0]) || name[0] == u'_')) return false;
  for (const char16_t c : name) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != u'.' && c != u'-' && c != u'_') return false;
  }
  return true;
}

Text CleanCatalogueValue(TextView value) {
  Text out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    // Removed characters do not end a run: 'a \r\n\tb' becomes 'a b', so a second pass finds nothing.
    if (c == u'\r' || c == u'\n' || IsForbiddenInXml(c)) continue;
    if (IsBlank(c) && !out.empty() && IsBlank(out.back())) continue;
    i = AppendCodePoint(out, value, i);
  }
  return out;
}

std::string WriteCatalogueDocument(const LibraryEntry& entry) {
  KORVANE_HERE();
  const Text fileName = FileNameFromPath(entry.path);
  const bool plainName = IsPlainXmlName(fileName);
  const std::string rootName = plainName ? TextToUtf8(fileName) : std::string(kFallbackRootName);

  std::string out;
  // About 250 bytes of markup and values per record; a guess that saves most reallocations.
  out.reserve(256 + entry.functions.size() * 320);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  out += kNewLine;
  out += kNewLine;
  out += '<';
  out += rootName;
  AppendAttribute(out, "path", FolderFromPath(entry.path));
  AppendAttribute(out, "x86", entry.x86 != 0 ? u"1" : u"0");
  if (!plainName) AppendAttribute(out, "name", fileName);
  out += '>';
  out += kNewLine;
  for (const ApiFunction& record : entry.functions) AppendRecord(out, record);
  out += "</";
  out += rootName;
  out += '>';
  out += kNewLine;
  return out;
}

}  // namespace korvane
