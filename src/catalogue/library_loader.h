#pragma once
// Turns the bytes of one import library into a library entry.

#include <cstddef>
#include <span>

#include "catalogue/api_function.h"
#include "catalogue/archive_reader.h"
#include "text/text.h"

namespace korvane {

// Appends one record per kept symbol name of the archive `image` to `entry`, raw and unticked, in
// directory order. Returns how the archive walk ended.
ArchiveReadResult CollectFunctionNames(std::span<const std::uint8_t> image, LibraryEntry& entry,
                                       SingleByteDecoder decode = DecodeWindows1252);

// One library read from its bytes.
struct LibraryRead {
  ArchiveReadResult archive;
  LibraryEntry entry;          // path set; functions normalised and all ticked; empty when no names
  std::size_t namesRead = 0;   // the kept names the directory gave, before normalising
};

// Reads the library file `path` whose whole content is `image`, as "Load LIBs" makes it.
LibraryRead ReadLibrary(std::span<const std::uint8_t> image, const Text& path,
                        SingleByteDecoder decode = DecodeWindows1252);

}  // namespace korvane
