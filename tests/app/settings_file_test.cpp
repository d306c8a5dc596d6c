#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/headless/memory_file_system.h"

namespace korvane {
namespace {

using namespace std::string_literals;

const Text kPath = u"C:\\Work\\Korvane.ini";
const std::string kHead = "\xEF\xBB\xBF\r\n";  // what every written file starts with

// The file after one open–select–write–close cycle on `before`.
std::string AfterWrite(const std::string& before, const Text& group, const Text& key, const Text& value) {
  MemoryFileSystem files;
  files.AddFile(kPath, before);
  SettingsFile file(files);
  file.OpenSettings(kPath);
  file.SelectGroup(group);
  EXPECT_TRUE(file.WriteText(key, value));
  EXPECT_TRUE(file.CloseSettings());
  return files.Contents(kPath);
}

TEST(SettingsFile, RewritesWholeFileInWrittenForm) {
  struct Case {
    const char* name;
    std::string before;
    Text group, key, value;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"comment gets one blank, and keeps it", ";note\r\n;  two\r\n[A]\r\n", u"A", u"k", u"1",
       kHead + "; note\r\n;  two\r\n[A]\r\nk = 1\r\n"},
      {"spacing normalised", "[Korvane]\r\nLibDir=D:\\Libs\\\r\n", u"Korvane", u"X", u"1",
       kHead + "[Korvane]\r\nLibDir = D:\\Libs\\\r\nX = 1\r\n"},
      {"new key after the group's last line", "[A]\r\na = 1\r\n; c\r\n[B]\r\nb = 2\r\n", u"a", u"n", u"3",
       kHead + "[A]\r\na = 1\r\n; c\r\nn = 3\r\n[B]\r\nb = 2\r\n"},
      {"existing key replaced in place, write's case", "[a]\r\nlibdir = x\r\nz = 1\r\n", u"A", u"LibDir", u"y",
       kHead + "[a]\r\nLibDir = y\r\nz = 1\r\n"},
      {"first of duplicate groups", "[A]\r\n[B]\r\n[a]\r\n", u"A", u"k", u"v", kHead + "[A]\r\nk = v\r\n[B]\r\n[a]\r\n"},
      {"new group at the end", "top = 0\r\n[A]\r\na = 1\r\n", u"New", u"k", u"v",
       kHead + "top = 0\r\n[A]\r\na = 1\r\n[New]\r\nk = v\r\n"},
      {"CR only, mixed ends, blank lines, indents", "[A]\ra=1\n\n\r\n\t  b =  2 \r\r[B]", u"B", u"c", u"3",
       kHead + "[A]\r\na = 1\r\nb = 2 \r\n[B]\r\nc = 3\r\n"},
      {"value keeps further =", "[A]\r\nk = a=b = c\r\n", u"A", u"n", u"x=y", kHead + "[A]\r\nk = a=b = c\r\nn = x=y\r\n"},
      {"header text after ] dropped, missing ] added", "[A]junk\r\n[B\r\n", u"B", u"k", u"v",
       kHead + "[A]\r\n[B]\r\nk = v\r\n"},
      {"line without = kept as empty key", "[A]\r\norphan  \r\n", u"A", u"k", u"v", kHead + "[A]\r\norphan = \r\nk = v\r\n"},
      {"no marker: byte E9 is e-acute, stored as UTF-8", "[A]\r\nd = caf\xE9\r\n", u"A", u"k", u"v",
       kHead + "[A]\r\nd = caf\xC3\xA9\r\nk = v\r\n"},
      {"marker: UTF-8 kept", "\xEF\xBB\xBF[A]\r\nd = \xC3\xA9\r\n", u"A", u"k", u"\u00E9",
       kHead + "[A]\r\nd = \xC3\xA9\r\nk = \xC3\xA9\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(AfterWrite(c.before, c.group, c.key, c.value), c.after) << c.name;
}

TEST(SettingsFile, ReadsValuesOfTheSelectedGroup) {
  MemoryFileSystem files;
  files.AddFile(kPath,
                "k = top\r\n[Export]\r\nAPI = 12abc\r\nTrail = x \t\r\nNeg = -2\r\nWord = x\r\nSign = - 3\r\n"
                "Huge = 99999999999999999999\r\nLow = -99999999999999999999\r\n[\xC9t\xE9]\r\nk = latin\r\n");
  struct Case {
    const char* name;
    Text group, key;
    Text text;    // ReadText with default "dflt"
    int integer;  // ReadInteger with default 7
  };
  const std::vector<Case> cases = {
      {"leading number, names ignore case", u"export", u"api", u"12abc", 12},
      {"trailing blanks and tabs removed", u"Export", u"Trail", u"x", 0},
      {"negative", u"Export", u"Neg", u"-2", -2},
      {"not a number reads 0", u"Export", u"Word", u"x", 0},
      {"sign then blank reads 0", u"Export", u"Sign", u"- 3", 0},
      {"too large is clamped", u"Export", u"Huge", u"99999999999999999999", INT_MAX},
      {"too small is clamped", u"Export", u"Low", u"-99999999999999999999", INT_MIN},
      {"lookup stops at the next header", u"Export", u"k", u"dflt", 7},
      {"missing group", u"Absent", u"API", u"dflt", 7},
      {"latin-1 letters match exactly", u"\u00C9t\u00E9", u"K", u"latin", 0},
      {"latin-1 letters do not fold", u"\u00E9t\u00C9", u"k", u"dflt", 7},
  };
  for (const auto& c : cases) {
    SettingsFile settings(files);
    settings.OpenSettings(kPath);
    settings.SelectGroup(c.group);
    EXPECT_EQ(settings.ReadText(c.key, u"dflt"), c.text) << c.name;
    EXPECT_EQ(settings.ReadInteger(c.key, 7), c.integer) << c.name;
    settings.CloseSettings();
  }
}

TEST(SettingsFile, StepsThroughKeysOfTheGroupOnly) {
  MemoryFileSystem files;
  files.AddFile(kPath, "[PBRoot]\r\nRootDir1 = a \r\n; skip\r\nOther = b\r\n[X]\r\nc = c\r\n");
  SettingsFile file(files);
  file.OpenSettings(kPath);
  std::vector<Text> seen;
  ASSERT_TRUE(file.SelectGroup(u"pbroot"));
  for (bool more = file.FirstKey(); more; more = file.NextKey()) seen.push_back(file.KeyName() + u"=" + file.KeyValue());
  EXPECT_EQ(seen, (std::vector<Text>{u"RootDir1=a", u"Other=b"}));
  EXPECT_FALSE(file.SelectGroup(u"Missing"));
  EXPECT_FALSE(file.FirstKey());
  EXPECT_EQ(file.KeyValue(), u"");
}

TEST(SettingsFile, FailedOrRefusedWritesLeaveTheOldFile) {
  const std::string old = "[A]\r\na = 1\r\n";
  MemoryFileSystem files;
  files.AddFile(kPath, old);
  files.FailWritesTo(kPath);
  SettingsFile file(files);
  file.OpenSettings(kPath);
  file.SelectGroup(u"A");
  EXPECT_TRUE(file.WriteText(u"a", u"2"));
  EXPECT_FALSE(file.CloseSettings());
  EXPECT_EQ(files.Contents(kPath), old);

  // A file that exists but cannot be read is never replaced by the few keys written to it.
  const Text locked = u"C:\\Work\\Locked.ini";
  files.AddUnreadable(locked);
  file.OpenSettings(locked);
  file.SelectGroup(u"A");
  file.WriteText(u"a", u"2");
  EXPECT_FALSE(file.CloseSettings());
  EXPECT_EQ(files.Contents(locked), "");

  const Text folder = u"C:\\Work\\Folder.ini";
  files.AddFolder(folder);
  file.CreateSettings(folder);
  file.SelectGroup(u"A");
  file.WriteText(u"a", u"2");
  EXPECT_FALSE(file.CloseSettings());
  EXPECT_TRUE(files.FolderExists(folder));
}

TEST(SettingsFile, RefusesLinesThatWouldNotReadBack) {
  struct Case {
    const char* name;
    Text group, key, value;
  };
  const std::vector<Case> cases = {
      {"line break in value", u"A", u"k", u"a\r\n[B]"}, {"= in key", u"A", u"k=v", u"1"},
      {"key looks like a header", u"A", u"[k", u"1"},   {"blank around key", u"A", u" k", u"1"},
      {"] in new group", u"A]B", u"k", u"1"},
  };
  MemoryFileSystem files;
  for (const auto& c : cases) {
    files.AddFile(kPath, "[A]\r\n");
    SettingsFile file(files);
    file.OpenSettings(kPath);
    file.SelectGroup(c.group);
    EXPECT_FALSE(file.WriteText(c.key, c.value)) << c.name;
    EXPECT_TRUE(file.CloseSettings()) << c.name;
    EXPECT_EQ(files.Contents(kPath), "[A]\r\n") << c.name;
  }
  SettingsFile closed(files);
  EXPECT_FALSE(closed.WriteText(u"k", u"v"));
  EXPECT_EQ(closed.ReadText(u"k", u"d"), u"d");
}

// Any bytes parse, and the written form reads back as itself, so a second rewrite changes nothing.
TEST(SettingsFile, AnyBytesParseAndRewriteStably) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::vector<std::string> inputs = {
      everyByte, "\xEF\xBB\xBF" + everyByte, "\xEF\xBB\xBF\xC3\xFF\xED\xA0\x80[\xF4\x90", "\xEF\xBB", "=",
      "[", ";", "\r\n\r\n", " \t = \t ", "[]\r\n=\r\n;\r\nk\x00=\x00v"s,
  };
  for (const auto& input : inputs) {
    const std::vector<std::uint8_t> bytes(input.begin(), input.end());
    const auto once = FormatSettingsLines(ParseSettingsLines(bytes));
    EXPECT_EQ(FormatSettingsLines(ParseSettingsLines(once)), once) << input;
  }
}

}  // namespace
}  // namespace korvane
