// Names of catalogue files: "[x86] [12.06.2015-21.42.35] user32.lib.xml".

#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_xml.h"
#include "text/paths.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

// Appends `value` in decimal, padded with zeros to `width` digits; a negative value (no clock gives
// one) is written as 0 so the name keeps its shape.
void AppendPadded(Text& out, int value, std::size_t width) {
  const std::string digits = std::to_string(value < 0 ? 0 : value);
  if (digits.size() < width) out.append(width - digits.size(), u'0');
  for (const char digit : digits) out += static_cast<char16_t>(digit);
}

// Appends "[%mm.%dd.%yyyy-%hh.%ii.%ss]". Built by appending: GCC 12 at -O3 reports a false -Wrestrict
// on long chains of operator+ on u16string.
void AppendTimeStamp(Text& out, const LocalTime& time) {
  out += u'[';
  AppendPadded(out, time.month, 2);
  out += u'.';
  AppendPadded(out, time.day, 2);
  out += u'.';
  AppendPadded(out, time.year, 4);
  out += u'-';
  AppendPadded(out, time.hour, 2);
  out += u'.';
  AppendPadded(out, time.minute, 2);
  out += u'.';
  AppendPadded(out, time.second, 2);
  out += u']';
}

}  // namespace

Text CatalogueFileName(const LibraryEntry& entry, const LocalTime& time) {
  Text name = u"[";
  name += ArchitectureText(entry);
  name += u"] ";
  AppendTimeStamp(name, time);
  name += u' ';
  name += FileNameFromPath(entry.path);
  name += u".xml";
  return name;
}

Text LibraryFileNameFromCatalogueFile(TextView path) {
  const Text name = FileNameFromPath(path);
  const std::size_t first = name.find(u' ');
  if (first == Text::npos) return {};
  const std::size_t second = name.find(u' ', first + 1);
  if (second == Text::npos) return {};
  Text library = RemoveAll(TextView(name).substr(second + 1), u".xml");
  // The extension in any letter case: 'user32.lib.XML' is the file of 'user32.lib'.
  if (library.size() > 4 && LowerCase(TextView(library).substr(library.size() - 4)) == u".xml") library.resize(library.size() - 4);
  return library;
}

}  // namespace korvane
