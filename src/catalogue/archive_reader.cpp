#include "catalogue/archive_reader.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "catalogue/byte_view.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr std::string_view kSignature = "!<arch>\n";
constexpr std::uint64_t kHeaderSize = 60;
constexpr std::uint64_t kNameField = 0, kNameWidth = 16;
constexpr std::uint64_t kSizeField = 48, kSizeWidth = 10;

// One member header, as far as the reader needs it.
struct Member {
  std::uint64_t header = 0;
  std::string_view name;  // the 16-byte name field without trailing blanks
  std::uint64_t size = 0;
  std::span<const std::uint8_t> body;  // clipped to what the image holds
};

std::optional<Member> ReadMember(const ByteView& image, std::uint64_t header) {
  const auto fields = image.Bytes(header, kHeaderSize);
  if (!fields) return std::nullopt;
  Member member;
  member.header = header;
  auto nameField = fields->subspan(kNameField, kNameWidth);
  std::string_view name(reinterpret_cast<const char*>(nameField.data()), nameField.size());
  member.name = name.substr(0, name.find_last_not_of(' ') + 1);
  member.size = ParseMemberSize(fields->subspan(kSizeField, kSizeWidth));
  const std::span<const std::uint8_t> rest = image.Rest(header + kHeaderSize);
  member.body = rest.first(static_cast<std::size_t>(std::min<std::uint64_t>(member.size, rest.size())));
  return member;
}

// The next header follows the body and one padding byte when the body's size is odd.
std::optional<std::uint64_t> NextHeader(const Member& member) {
  const std::uint64_t padded = member.size + (member.size & 1);
  if (padded > std::numeric_limits<std::uint64_t>::max() - member.header - kHeaderSize) return std::nullopt;
  return member.header + kHeaderSize + padded;
}

ArchiveReadResult FromScan(const ScanResult& scan, DirectoryLayout layout, const Member& member) {
  ArchiveReadResult result;
  result.layout = layout;
  if (scan.end == ScanResult::End::Truncated) {
    result.status = ArchiveStatus::Truncated;
    result.field = scan.field;
    result.offset = member.header + kHeaderSize + scan.offset;
  }
  return result;
}

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  return b > std::numeric_limits<std::uint64_t>::max() - a ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

// Which member holds the symbol directory, as far as the image shows it. `needed` is how far into the
// file the image must reach for that answer to be final: the end of the directory member when one was
// found, else the end of the header or signature that was missing or wrong.
struct DirectoryLocation {
  ArchiveReadResult failure;  // status Read when `member` is the directory
  Member member;
  std::uint64_t needed = 0;
};

DirectoryLocation Found(DirectoryLayout layout, const Member& member) {
  DirectoryLocation location;
  location.failure.layout = layout;
  location.member = member;
  location.needed = SaturatingAdd(member.header + kHeaderSize, member.size);
  return location;
}

DirectoryLocation Missing(ArchiveStatus status, std::string_view field, std::uint64_t offset, std::uint64_t needed) {
  DirectoryLocation location;
  location.failure = {status, DirectoryLayout::None, field, offset};
  location.needed = needed;
  return location;
}

DirectoryLocation LocateDirectory(const ByteView& image) {
  KORVANE_HERE();
  const auto signature = image.Bytes(0, kSignature.size());
  if (!signature || !std::equal(signature->begin(), signature->end(), kSignature.begin())) {
    return Missing(ArchiveStatus::NotArchive, "signature", 0, kSignature.size());
  }
  const auto first = ReadMember(image, kSignature.size());
  if (!first) {
    return Missing(ArchiveStatus::NoSymbolDirectory, "first member header", kSignature.size(),
                   kSignature.size() + kHeaderSize);
  }
  const auto secondHeader = NextHeader(*first);
  const auto second = secondHeader ? ReadMember(image, *secondHeader) : std::nullopt;
  if (second && second->name == "/") return Found(DirectoryLayout::Microsoft, *second);
  // A first member named "/" is the directory only when no second "/" follows: the answer waits for
  // the second header as long as there is one to come.
  const std::uint64_t secondEnd = secondHeader ? SaturatingAdd(*secondHeader, kHeaderSize) : 0;
  const auto fromFirst = [&](DirectoryLayout layout) {
    DirectoryLocation location = Found(layout, *first);
    location.needed = std::max(location.needed, secondEnd);
    return location;
  };
  if (first->name == "/") return fromFirst(DirectoryLayout::Gnu);
  if (first->name == "/SYM64/") return fromFirst(DirectoryLayout::Gnu64);
  if (second) return Found(DirectoryLayout::Microsoft, *second);
  return Missing(ArchiveStatus::NoSymbolDirectory, "second member header", secondHeader.value_or(kSignature.size()),
                 secondHeader ? secondEnd : image.size());
}

}  // namespace

std::uint64_t ParseMemberSize(std::span<const std::uint8_t> field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max() / 10 - 9;
  std::uint64_t size = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    KORVANE_HERE();
    size = size >= kLimit ? std::numeric_limits<std::uint64_t>::max() : size * 10 + (field[i] - '0');
  }
  return size;
}

ArchiveReadResult ReadImportArchive(std::span<const std::uint8_t> bytes, const SymbolConsumer& consumer,
                                    SingleByteDecoder decode) {
  const DirectoryLocation location = LocateDirectory(ByteView(bytes));
  if (location.failure.status != ArchiveStatus::Read) return location.failure;
  const Member& member = location.member;
  const DirectoryLayout layout = location.failure.layout;
  const ScanResult scan = layout == DirectoryLayout::Microsoft
                              ? ScanSymbolNames(member.body, consumer, decode)
                              : ScanGnuSymbolTable(member.body, layout == DirectoryLayout::Gnu64, consumer, decode);
  return FromScan(scan, layout, member);
}

std::uint64_t ArchiveDirectoryEnd(std::span<const std::uint8_t> prefix) {
  return LocateDirectory(ByteView(prefix)).needed;
}

}  // namespace korvane
