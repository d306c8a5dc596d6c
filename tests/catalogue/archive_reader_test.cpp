#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/archive_reader.h"
#include "helpers/archive_writer.h"

namespace korvane {
namespace {

using testing::ArchiveWriter;
using testing::Bytes;
using testing::GnuDirectory;
using testing::MicrosoftDirectory;

struct Reading {
  ArchiveReadResult result;
  std::vector<std::string> names;
};

Reading Read(const Bytes& image) {
  Reading reading;
  reading.result = ReadImportArchive(image, [&](const Text& name) {
    reading.names.push_back(TextToUtf8(name));
    return true;
  });
  return reading;
}

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

const std::vector<std::string> kNames = {"_GetDC@4", "__imp__GetDC@4", "_MessageBoxA@16"};
const std::vector<std::string> kKept = {"_GetDC@4", "_MessageBoxA@16"};

TEST(ReadImportArchive, FindsTheSymbolDirectoryOfEachLayout) {
  struct Case {
    const char* name;
    Bytes image;
    DirectoryLayout layout;
  };
  const std::vector<Case> cases = {
      {"Microsoft: second linker member", testing::MicrosoftLibrary(kNames), DirectoryLayout::Microsoft},
      {"GNU: first member '/', then '//'", testing::GnuLibrary(kNames), DirectoryLayout::Gnu},
      {"GNU 64-bit table '/SYM64/'", testing::GnuLibrary(kNames, true), DirectoryLayout::Gnu64},
      {"GNU table alone", ArchiveWriter().Member("/", GnuDirectory(kNames)).Build(), DirectoryLayout::Gnu},
      {"second member of another name read as the directory",
       ArchiveWriter().Member("first.o/", "xyz").Member("second.o/", MicrosoftDirectory(kNames)).Build(),
       DirectoryLayout::Microsoft},
  };
  for (const auto& c : cases) {
    const Reading reading = Read(c.image);
    EXPECT_EQ(reading.result.status, ArchiveStatus::Read) << c.name;
    EXPECT_EQ(reading.result.layout, c.layout) << c.name;
    EXPECT_EQ(reading.names, kKept) << c.name;
  }
}

TEST(ReadImportArchive, GivesNoNamesForFilesWithoutDirectory) {
  struct Case {
    const char* name;
    std::string image;
    ArchiveStatus status;
  };
  const std::string signature = "!<arch>\n";
  const std::string oneMember = ArchiveWriter().Member("a.o/", MicrosoftDirectory(kNames)).BuildString();
  const std::vector<Case> cases = {
      {"empty", "", ArchiveStatus::NotArchive},
      {"shorter than the signature", "!<arch>", ArchiveStatus::NotArchive},
      {"text file", "LIBRARY user32\nEXPORTS\n  MessageBoxA\n", ArchiveStatus::NotArchive},
      {"signature in other case", "!<ARCH>\n" + oneMember.substr(8), ArchiveStatus::NotArchive},
      {"exactly the signature", signature, ArchiveStatus::NoSymbolDirectory},
      {"first header cut short", signature + std::string(59, ' '), ArchiveStatus::NoSymbolDirectory},
      {"one member that is no symbol table", oneMember, ArchiveStatus::NoSymbolDirectory},
      {"second header cut short", oneMember + std::string(59, ' '), ArchiveStatus::NoSymbolDirectory},
  };
  for (const auto& c : cases) {
    const Reading reading = Read(ToBytes(c.image));
    EXPECT_EQ(reading.result.status, c.status) << c.name;
    EXPECT_TRUE(reading.names.empty()) << c.name;
  }
}

TEST(ReadImportArchive, PadsOddBodiesToAnEvenOffset) {
  // A first member of 1001 bytes is followed by one padding byte: the second header is at 1070.
  const std::string image =
      ArchiveWriter().Member("/", std::string(1001, 'x')).Member("/", MicrosoftDirectory({"Beep"})).BuildString();
  ASSERT_EQ(image.substr(1070, 2), "/ ");
  EXPECT_EQ(Read(ToBytes(image)).names, std::vector<std::string>{"Beep"});
}

TEST(ReadImportArchive, ReadsTheSizeFieldUpToTheFirstNonDigit) {
  struct Case {
    std::string field;
    std::uint64_t size;
  };
  const std::vector<Case> cases = {
      {"1234      ", 1234}, {"          ", 0},   {"  \t 42   ", 42},    {"12a4      ", 12},
      {"-5        ", 0},    {"0000000007", 7},   {"9999999999", 9999999999},
  };
  for (const auto& c : cases) {
    const std::span<const std::uint8_t> field(reinterpret_cast<const std::uint8_t*>(c.field.data()), c.field.size());
    EXPECT_EQ(ParseMemberSize(field), c.size) << "'" << c.field << "'";
  }
}

TEST(ReadImportArchive, SizeFieldPastTheEndStopsWithoutReading) {
  for (const char* size : {"99999999", "9999999999"}) {
    const Bytes image = ArchiveWriter().MemberWithSizeField("/", size, "abcd").Member("/", MicrosoftDirectory({"Beep"})).Build();
    const Reading reading = Read(image);
    EXPECT_TRUE(reading.names.empty()) << size;
  }
}

TEST(ReadImportArchive, ReadsOnlyAsMuchOfABodyAsTheImageHolds) {
  // The directory's size field claims more than the file holds: the names inside the file are read.
  const std::string directory = MicrosoftDirectory({"Beep", "GetDC"});
  const std::string image =
      ArchiveWriter().Member("/", "ab").MemberWithSizeField("/", "500", directory).BuildString();
  EXPECT_EQ(Read(ToBytes(image)).names, (std::vector<std::string>{"Beep", "GetDC"}));
}

TEST(ReadImportArchive, DirectoryWithoutSymbolsIsNotAnError) {
  const Reading reading = Read(ArchiveWriter().Member("/", "").Member("/", MicrosoftDirectory({})).Build());
  EXPECT_EQ(reading.result.status, ArchiveStatus::Read);
  EXPECT_TRUE(reading.names.empty());
}

TEST(ReadImportArchive, EveryCutOfALibraryDeliversAPrefixOfItsNames) {
  // Cutting a library at every length never reads outside the buffer (the sanitizers watch) and gives
  // the names up to the cut, in order.
  for (const bool gnu : {false, true}) {
    const std::vector<std::string> names = {"Alpha", "__imp_Alpha", "Beta", "Gamma"};
    const Bytes whole = gnu ? testing::GnuLibrary(names) : testing::MicrosoftLibrary(names);
    const std::vector<std::string> all = Read(whole).names;
    ASSERT_EQ(all, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    for (std::size_t length = 0; length < whole.size(); ++length) {
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      const std::vector<std::string> got = Read(cut).names;
      ASSERT_LE(got.size(), all.size()) << length;
      EXPECT_TRUE(std::equal(got.begin(), got.end(), all.begin())) << "gnu " << gnu << " cut at " << length;
    }
  }
}

TEST(ReadImportArchive, ReportsWhereADirectoryIsCutShort) {
  struct Case {
    const char* name;
    std::string body;
    std::string_view field;
    std::uint64_t offsetInBody;
    std::vector<std::string> names;
  };
  using testing::LittleEndian32;
  const std::vector<Case> cases = {
      {"no member count", "ab", "member count", 0, {}},
      {"member offsets past the end", LittleEndian32(0x40000000), "member offsets", 4, {}},
      {"one member offset too many", LittleEndian32(2) + LittleEndian32(0) + "ab", "member offsets", 4, {}},
      {"symbol count past the end", LittleEndian32(0) + "ab", "symbol count", 4, {}},
      {"absurd symbol count", LittleEndian32(0) + LittleEndian32(0xFFFFFFFF) + "ab", "member indices", 8, {}},
      {"last name without terminator",
       LittleEndian32(0) + LittleEndian32(2) + std::string(4, '\1') + std::string("One\0Two", 7), "symbol name", 16,
       {"One"}},
      {"more names announced than present",
       LittleEndian32(0) + LittleEndian32(3) + std::string(6, '\1') + std::string("One\0", 4), "symbol name", 18,
       {"One"}},
  };
  for (const auto& c : cases) {
    const std::string image = ArchiveWriter().Member("/", "").Member("/", c.body).BuildString();
    const Reading reading = Read(ToBytes(image));
    EXPECT_EQ(reading.result.status, ArchiveStatus::Truncated) << c.name;
    EXPECT_EQ(reading.result.field, c.field) << c.name;
    // Body of the second member: signature 8 + first header 60 + second header 60.
    EXPECT_EQ(reading.result.offset, 128 + c.offsetInBody) << c.name;
    EXPECT_EQ(reading.names, c.names) << c.name;
  }
}

TEST(ReadImportArchive, AbsurdGnuCountsEndTheScan) {
  using testing::BigEndian32;
  using testing::BigEndian64;
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"/", BigEndian32(0xFFFFFFFF) + "abc"},
      {"/SYM64/", BigEndian64(0xFFFFFFFFFFFFFFFFull) + "abc"},
      {"/SYM64/", BigEndian64(0x2000000000000001ull) + std::string(16, '\0')},
      {"/", "ab"},
  };
  for (const auto& [name, body] : cases) {
    const Reading reading = Read(ArchiveWriter().Member(name, body).Member("//", "").Build());
    EXPECT_EQ(reading.result.status, ArchiveStatus::Truncated) << name;
    EXPECT_TRUE(reading.names.empty()) << name;
  }
}

TEST(ReadImportArchive, StopsWhenTheConsumerAsksTo) {
  std::vector<std::string> names;
  const ArchiveReadResult result =
      ReadImportArchive(testing::MicrosoftLibrary({"A1", "A2", "A3"}), [&](const Text& name) {
        names.push_back(TextToUtf8(name));
        return names.size() < 2;
      });
  EXPECT_EQ(result.status, ArchiveStatus::Read);
  EXPECT_EQ(names, (std::vector<std::string>{"A1", "A2"}));
}

TEST(ReadImportArchive, DecodesNamesWithTheGivenDecoder) {
  std::vector<Text> names;
  const Bytes image = testing::MicrosoftLibrary({"Caf\xE9", "Euro\x80", "Odd\x81"});
  ReadImportArchive(image, [&](const Text& name) {
    names.push_back(name);
    return true;
  });
  EXPECT_EQ(names, (std::vector<Text>{u"Caf\u00E9", u"Euro\u20AC", u"Odd\u0081"}));
}

// The loader reads a library in rounds: a first piece of any length, then up to ArchiveDirectoryEnd of
// what it has, capped by the file's size, until that is covered. Whatever the first piece, the result
// must be the whole file's, and a library's object members after its directory are never needed.
TEST(ArchiveDirectoryEnd, ReadingUpToItGivesTheWholeFilesResult) {
  const std::string bigFirst(40001, 'x');  // odd: the second header follows a padding byte
  const std::vector<std::string> many(300, "SomeRatherLongFunctionName");
  struct Case {
    const char* name;
    Bytes image;
    bool objectAfterDirectory;
  };
  const std::vector<Case> cases = {
      {"Microsoft", testing::MicrosoftLibrary(kNames), true},
      {"GNU", testing::GnuLibrary(kNames), true},
      {"GNU 64-bit", testing::GnuLibrary(kNames, true), true},
      {"GNU, long directory", testing::GnuLibrary(many), true},
      {"first '/' large, the second '/' is the directory",
       ArchiveWriter().Member("/", bigFirst).Member("/", MicrosoftDirectory(kNames)).Member("a.o/", bigFirst).Build(),
       true},
      {"second member of another name",
       ArchiveWriter().Member("first.o/", bigFirst).Member("second.o/", MicrosoftDirectory(kNames)).Build(), false},
      {"directory cut short",
       ToBytes(ArchiveWriter().Member("/", "").BuildString() + testing::MemberHeader("/", "500") +
               MicrosoftDirectory(kNames)),
       false},
      {"size field beyond any file", ArchiveWriter().MemberWithSizeField("/", "9999999999", GnuDirectory(kNames)).Build(),
       false},
      {"no second header", ArchiveWriter().Member("a.o/", "abc").Build(), false},
      {"not an archive", ToBytes("!<arch>X plain text, long enough to be read in pieces"), false},
  };
  for (const Case& c : cases) {
    const Reading whole = Read(c.image);
    for (std::size_t first = 0; first <= c.image.size(); first += first < 200 ? 1 : 997) {
      Bytes part(c.image.begin(), c.image.begin() + static_cast<std::ptrdiff_t>(first));
      for (int round = 0; round < 8; ++round) {
        const std::uint64_t needed = std::min<std::uint64_t>(ArchiveDirectoryEnd(part), c.image.size());
        if (needed <= part.size()) break;
        part.assign(c.image.begin(), c.image.begin() + static_cast<std::ptrdiff_t>(needed));
      }
      ASSERT_LE(std::min<std::uint64_t>(ArchiveDirectoryEnd(part), c.image.size()), part.size())
          << c.name << ": still not covered after eight rounds, first " << first;
      const Reading got = Read(part);
      EXPECT_EQ(got.result.status, whole.result.status) << c.name << ", first " << first;
      EXPECT_EQ(got.result.layout, whole.result.layout) << c.name << ", first " << first;
      EXPECT_EQ(got.result.field, whole.result.field) << c.name << ", first " << first;
      EXPECT_EQ(got.result.offset, whole.result.offset) << c.name << ", first " << first;
      EXPECT_EQ(got.names, whole.names) << c.name << ", first " << first;
      if (c.objectAfterDirectory && first == 0) {
        EXPECT_LT(part.size(), c.image.size()) << c.name;
      }
    }
  }
}

}  // namespace
}  // namespace korvane
