// Any bytes as a documentation set file: reading never crashes or hangs; a set that reads, written out
// and read again, writes the same bytes (the written form is a fixed point), and the pages the set
// answers for its first function render.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "docs/docs_file.h"
#include "docs/pages.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const auto set = ReadDocumentationSet(std::span<const std::uint8_t>(data, size));
  if (!set) return 0;
  const std::string written = WriteDocumentationSet(*set);
  const auto again = ReadDocumentationSet(AsBytes(written));
  if (!again) std::abort();
  if (FunctionCount(*again) != FunctionCount(*set) || WriteDocumentationSet(*again) != written) std::abort();
  for (const DocGroup& group : set->groups) {
    if (group.functions.empty()) continue;
    const Text& name = group.functions.front().name;
    const Text base = kDefaultDocsBase;
    (void)AnswerAddress(*set, base + u"/en-us/library/" + ReferenceSegment(name));
    (void)AnswerAddress(*set, base + u"/search/en-us?query=%22" + name + u"%20function%22");
    break;
  }
  return 0;
}
