// Any bytes as a search result page (Windows-1252, as the page sources hand it over): reading it, the
// name and link tests and the reference address built from its result never crash or over-read.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "lookup/search_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const Text page = DecodeWindows1252(std::span<const std::uint8_t>(data, size));
  const SearchPageReading reading = ReadSearchPage(page);
  ApiFunction record;
  record.Function = u"MessageBox";
  record.AnsiUni = u"MessageBoxW";
  (void)PassesNameTest(reading, record, false);
  (void)PassesNameTest(reading, record, true);
  (void)PassesLinkTest(reading);
  const Text address = ReferenceAddress(Text(kDefaultLibraryBase), reading.resultAddress);
  if (address.compare(0, kDefaultLibraryBase.size(), kDefaultLibraryBase) != 0) std::abort();
  return 0;
}
