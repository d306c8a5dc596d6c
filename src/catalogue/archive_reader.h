#pragma once
// Walks an import library (an "!<arch>\n" archive) in memory, finds its symbol directory and hands the
// directory's kept names to a consumer. Object members are never looked at.

#include <cstdint>
#include <span>
#include <string_view>

#include "catalogue/symbol_names.h"
#include "text/text.h"

namespace korvane {

enum class ArchiveStatus {
  Read,               // the directory was read to its end (or the consumer stopped it)
  NotArchive,         // no "!<arch>\n" signature
  NoSymbolDirectory,  // too few members, or a member header that does not fit
  Truncated,          // the directory ends inside a count or a name; the names before it were delivered
};

// Which symbol directory was read.
enum class DirectoryLayout {
  None,
  Microsoft,  // the second linker member
  Gnu,        // a first member named "/" (32-bit big-endian table)
  Gnu64,      // a first member named "/SYM64/"
};

struct ArchiveReadResult {
  ArchiveStatus status = ArchiveStatus::Read;
  DirectoryLayout layout = DirectoryLayout::None;
  std::string_view field;     // the field at fault, for NoSymbolDirectory and Truncated
  std::uint64_t offset = 0;   // its offset from the start of the image
};

// Microsoft import libraries carry two linker members named "/": the directory read is the second.
// Archives written by the GNU toolchain have one symbol table, the first member ("/" or "/SYM64/"),
// followed by the long-names member "//"; it is read when the second member is not named "/".
// Any other archive has its second member read as if it were the second linker member.
ArchiveReadResult ReadImportArchive(std::span<const std::uint8_t> image, const SymbolConsumer& consumer,
                                    SingleByteDecoder decode = DecodeWindows1252);

// How many bytes from the start of the file ReadImportArchive needs to see to read the symbol directory
// of the archive that begins with `prefix`: the end of the directory member once its header is in
// `prefix`, else the end of the signature or header the search needs next. When `prefix` reaches that
// far, ReadImportArchive gives the same result on `prefix` as on the whole file. Taken from size
// fields, so it can be anything up to 2^64 - 1: the caller caps it by the real file size before reading.
std::uint64_t ArchiveDirectoryEnd(std::span<const std::uint8_t> prefix);

// The decimal size field of a member header: leading blanks or tabs skipped, then the digits up to the
// first non-digit; no digits gives 0. Saturates instead of overflowing.
std::uint64_t ParseMemberSize(std::span<const std::uint8_t> field);

}  // namespace korvane
