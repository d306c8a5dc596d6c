// Any bytes as a function page of the Markdown API reference (what `docs build --reference` reads):
// the page parser and the Markdown-to-text conversion end, in time linear in the page, without an
// over-read.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "docs/set_builder/reference_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string_view markdown(reinterpret_cast<const char*>(data), size);
  static const std::unordered_map<std::string, Text> groupTitles = {{"winmsg", u"Windows and Messages"},
                                                                     {"dlgbox", u"Dialog Boxes"}};
  (void)ParseFunctionPage(markdown, groupTitles);
  (void)MarkdownToPlainText(markdown);
  (void)AnnotationForDirection(markdown.substr(0, 40));
  return 0;
}
