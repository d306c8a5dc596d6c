#include "helpers/archive_writer.h"

namespace korvane::testing {
namespace {

std::string Padded(std::string_view text, std::size_t width) {
  std::string field(text.substr(0, width));
  field.resize(width, ' ');
  return field;
}

std::string NameTable(const std::vector<std::string>& names) {
  std::string table;
  for (const std::string& name : names) {
    table += name;
    table += '\0';
  }
  return table;
}

}  // namespace

std::string MemberHeader(std::string_view name, std::string_view sizeField) {
  return Padded(name, 16) + Padded("0", 12) + Padded("0", 6) + Padded("0", 6) + Padded("0", 8) +
         Padded(sizeField, 10) + "`\n";
}

ArchiveWriter& ArchiveWriter::Member(std::string_view name, std::string_view body) {
  return MemberWithSizeField(name, std::to_string(body.size()), body);
}

ArchiveWriter& ArchiveWriter::MemberWithSizeField(std::string_view name, std::string_view sizeField,
                                                  std::string_view body) {
  bytes_ += MemberHeader(name, sizeField);
  bytes_ += body;
  if (body.size() % 2 != 0) bytes_ += '\n';
  return *this;
}

Bytes ArchiveWriter::Build() const { return Bytes(bytes_.begin(), bytes_.end()); }

std::string ArchiveWriter::BuildString() const { return bytes_; }

std::string LittleEndian32(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::string BigEndian32(std::uint32_t value) {
  std::string bytes;
  for (int i = 3; i >= 0; --i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::string BigEndian64(std::uint64_t value) {
  std::string bytes;
  for (int i = 7; i >= 0; --i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::string MicrosoftDirectory(const std::vector<std::string>& names, std::uint32_t members) {
  std::string body = LittleEndian32(members);
  for (std::uint32_t i = 0; i < members; ++i) body += LittleEndian32(0);
  body += LittleEndian32(static_cast<std::uint32_t>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) body += std::string("\x01\x00", 2);
  return body + NameTable(names);
}

std::string GnuDirectory(const std::vector<std::string>& names, bool wide) {
  std::string body = wide ? BigEndian64(names.size()) : BigEndian32(static_cast<std::uint32_t>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) body += wide ? BigEndian64(0) : BigEndian32(0);
  return body + NameTable(names);
}

Bytes MicrosoftLibrary(const std::vector<std::string>& names) {
  return ArchiveWriter()
      .Member("/", GnuDirectory(names))  // the first linker member has the GNU table's layout
      .Member("/", MicrosoftDirectory(names))
      .Member("example.dll/", "object member")
      .Build();
}

Bytes GnuLibrary(const std::vector<std::string>& names, bool wide) {
  return ArchiveWriter()
      .Member(wide ? "/SYM64/" : "/", GnuDirectory(names, wide))
      .Member("//", "example-long-member-name.o/\n")
      .Member("example.o/", "object member")
      .Build();
}

}  // namespace korvane::testing
