// Any bytes as the IDE's function listing, and as a library whose imports the listing drops: reading
// never crashes; the listing written from what was read reads back into the same entries (the written
// form is a fixed point).
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
  (void)ImportNamesOfLib(bytes);
  return 0;
}
