#include "lookup/search_page.h"

#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr TextView kWindowsFunctionSuffix = u"%20function%20%28Windows%29%22&refinement=117";
constexpr TextView kResultMarker = u"class=\"resultTitleLink\" href=\"";

Text TextFrom(TextView text, std::size_t position) {
  return TextFromTo(text, static_cast<std::ptrdiff_t>(position), static_cast<std::ptrdiff_t>(text.size()) + 1);
}

}  // namespace

Text SearchAddress(const Text& searchBase, const ApiFunction& record, SearchQuery query) {
  Text name = record.Function;
  TextView suffix = kWindowsFunctionSuffix;
  switch (query) {
    case SearchQuery::First:
      if (!record.AnsiUni.empty()) name = record.AnsiUni;
      break;
    case SearchQuery::WithoutSuffix:
      if (!name.empty()) name.pop_back();
      break;
    case SearchQuery::Macro:
      suffix = u"%20macro%22&refinement=117";
      break;
    case SearchQuery::FunctionRetry:
      suffix = u"%20function%22&refinement=117";
      break;
  }
  return searchBase + u"/search/en-us?query=%22" + name + Text(suffix);
}

SearchPageReading ReadSearchPage(TextView page) {
  KORVANE_HERE();
  // Everything up to the marker's closing quote goes, wherever that text recurs, so the rest starts
  // with the first result's address. Without the marker the first 29 characters go.
  const std::size_t k = Find(page, kResultMarker) + 29;
  const Text r = RemoveAll(page, Left(page, k));
  SearchPageReading reading;
  reading.resultAddress = FirstField(r, u"\"");
  reading.linkWord = FirstField(TextFrom(r, Find(r, u"\">") + 5), u" ");
  reading.titleWord = LowerCase(FirstField(TextFrom(r, Find(r, u"<B>") + 3), u" "));
  return reading;
}

bool PassesNameTest(const SearchPageReading& reading, const ApiFunction& record, bool triedWithoutSuffix) {
  if (triedWithoutSuffix) return true;
  const Text& word = reading.titleWord;
  const Text name = LowerCase(record.Function);
  return word == name || word == LowerCase(record.AnsiUni) || word == LowerCase(record.Function + u"A") ||
         word == LowerCase(record.Function + u"W");
}

bool PassesLinkTest(const SearchPageReading& reading) {
  return LowerCase(reading.linkWord) == reading.titleWord;
}

Text ReferenceAddress(const Text& libraryBase, TextView resultAddress) {
  const std::size_t cut = resultAddress.find_last_of(u"/\\");
  const TextView segment = cut == TextView::npos ? resultAddress : resultAddress.substr(cut + 1);
  return libraryBase + u"/en-us/library/" + Text(segment);
}

}  // namespace korvane
