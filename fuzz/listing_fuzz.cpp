// Any bytes as the IDE's function listing, and as a library whose imports the listing drops: reading
// never crashes; the listing written from what was read reads back into the same entries (the written
// form is a fixed point) and never looks like UTF-16. The same bytes as text become a line of ASCII
// without a line end.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "export/listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::span<const std::uint8_t> bytes(data, size);
  ListingMap map;
  ReadListing(bytes, map);
  const auto written = ListingBytes(SortedListing(map));
  ListingMap again;
  ReadListing(written, again);
  if (again != map || ListingBytes(SortedListing(again)) != written) std::abort();
  if (IsUtf16Listing(written)) std::abort();
  for (const char c : ListingLine(Utf8ToText({reinterpret_cast<const char*>(data), size}))) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\r' || c == '\n' || c == '\0') std::abort();
  }
  (void)ImportNamesOfLib(bytes);
  return 0;
}
