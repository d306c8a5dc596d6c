// Any bytes as a page: the parser must end, in time linear in the page, without an over-read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "lookup/reference_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const korvane::Text page = korvane::DecodeWindows1252(std::span<const std::uint8_t>(data, size));
  (void)korvane::ParseReferencePage(page, u"Beep", u"kernel32");
  // The same bytes inside every block the parser reads, so that each pass sees them.
  const korvane::Text framed = u"<DIV class=\"toclevel1\">" + page + u"</DIV><div class=\"codeSnippetContainerCode\">" +
                               page + u"</div><div class=\"clsServerSDKContent\">" + page +
                               u"<h2><DIV class=\"toclevel2\"><a href=\"https://h/" + page + u".aspx\">" + page;
  (void)korvane::ParseReferencePage(framed, u"Beep", u"kernel32");
  return 0;
}
