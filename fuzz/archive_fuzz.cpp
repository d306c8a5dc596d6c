// Any byte string as an import library, read as "Load LIBs" reads one (ReadLibrary): no crash, no
// over-read, no hang; the entry holds the normalised names, sorted, unique and ticked; and the part of
// the file the loader reads first (up to ArchiveDirectoryEnd) gives the same library as the whole file.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "catalogue/library_loader.h"

namespace {

using namespace korvane;

bool SameRead(const LibraryRead& a, const LibraryRead& b) {
  if (a.archive.status != b.archive.status || a.archive.layout != b.archive.layout || a.namesRead != b.namesRead ||
      a.entry.x86 != b.entry.x86 || a.entry.functions.size() != b.entry.functions.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.entry.functions.size(); ++i) {
    if (a.entry.functions[i].Function != b.entry.functions[i].Function ||
        a.entry.functions[i].AnsiUni != b.entry.functions[i].AnsiUni) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> image(data, size);
  const Text path = u"C:\\Lib\\fuzz.lib";
  const LibraryRead read = ReadLibrary(image, path);
  if (read.entry.path != path) std::abort();
  // Names read may all be dropped (empty once their control characters are gone), but no function
  // comes from nowhere.
  if (read.namesRead == 0 && !read.entry.functions.empty()) std::abort();
  for (std::size_t i = 0; i < read.entry.functions.size(); ++i) {
    const ApiFunction& function = read.entry.functions[i];
    if (function.checked != 1) std::abort();
    if (i > 0 && !(read.entry.functions[i - 1].Function < function.Function)) std::abort();
  }
  const std::uint64_t needed = std::min<std::uint64_t>(ArchiveDirectoryEnd(image), size);
  if (needed < size && !SameRead(read, ReadLibrary(image.first(static_cast<std::size_t>(needed)), path))) std::abort();
  return 0;
}
