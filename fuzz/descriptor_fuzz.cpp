// Any bytes as another library's descriptor: reading never crashes; every name read is non-empty,
// without control characters or blanks at either end; and a descriptor written for those names reads
// back to at least the word names among them, the others being left out and said to be.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <vector>

#include "export/descriptor.h"
#include "export/listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  std::set<Text> names;
  AddDescriptorNames(std::span<const std::uint8_t>(data, size), names);
  std::vector<ApiFunction> functions;
  for (const Text& name : names) {
    if (name.empty() || name.front() == u' ' || name.back() == u' ') std::abort();
    for (const char16_t c : name) {
      if (c >= 0x01 && c <= 0x1F) std::abort();
    }
    ApiFunction function;
    function.Function = name;
    function.Return = u"int";
    function.checked = 1;
    functions.push_back(std::move(function));
  }
  const DescriptorBytes descriptor = BuildDescriptor(u"FUZZ", functions, {});
  std::set<Text> reread;
  AddDescriptorNames(descriptor.bytes, reread);
  const std::vector<Text>& leftOut = descriptor.notWordNames;
  for (const Text& name : names) {
    const bool said = std::find(leftOut.begin(), leftOut.end(), name) != leftOut.end();
    if (IsWordName(name) ? !reread.contains(name) || said : !said) std::abort();
  }
  return 0;
}
