// Any bytes as a page: the parser must end, in time linear in the page, without an over-read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "lookup/reference_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const korvane::Text page = korvane::DecodeWindows1252(std::span<const std::uint8_t>(data, size));
  (void)korvane::ParseReferencePage(page, u"Beep", u"kernel32");
  return 0;
}
