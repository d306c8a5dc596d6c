#pragma once
// Builds import-library archives byte by byte for tests, so each test states the layout it relies on
// and can then break it (cut it short, change a size field, give an absurd count).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::testing {

using Bytes = std::vector<std::uint8_t>;

// A 60-byte member header. `sizeField` is written as given (padded with blanks to 10 characters), so a
// test can write malformed sizes; by default it is the body's size in decimal.
std::string MemberHeader(std::string_view name, std::string_view sizeField);

// Archive = "!<arch>\n" + members; every body is followed by a padding "\n" when its size is odd.
class ArchiveWriter {
 public:
  ArchiveWriter& Member(std::string_view name, std::string_view body);
  // A member whose size field text is given explicitly (the body is written as given, then padded
  // according to the body's real size).
  ArchiveWriter& MemberWithSizeField(std::string_view name, std::string_view sizeField, std::string_view body);
  Bytes Build() const;
  std::string BuildString() const;

 private:
  std::string bytes_ = "!<arch>\n";
};

// The body of a Microsoft second linker member naming `names` (member count `members`, every symbol
// in member 1).
std::string MicrosoftDirectory(const std::vector<std::string>& names, std::uint32_t members = 1);

// The body of a GNU symbol table ("/": 32-bit, "/SYM64/": 64-bit) naming `names`.
std::string GnuDirectory(const std::vector<std::string>& names, bool wide = false);

// Complete libraries in the two layouts, with a placeholder object member after the directories.
Bytes MicrosoftLibrary(const std::vector<std::string>& names);
Bytes GnuLibrary(const std::vector<std::string>& names, bool wide = false);

// Little- and big-endian integer bytes.
std::string LittleEndian32(std::uint32_t value);
std::string BigEndian32(std::uint32_t value);
std::string BigEndian64(std::uint64_t value);

}  // namespace korvane::testing
