#include <gtest/gtest.h>

#include <string>

#include "docs/docs_file.h"

namespace korvane {
namespace {

DocumentationSet TrickySet() {
  DocumentationSet set;
  set.groups.push_back(DocGroup{u"Dialog \"Boxes\" & <Co>\tTabbed", {}});
  set.groups[0].functions.push_back(DocFunction{u"MessageBoxW", u"int",
                                                {u"_In_opt_ HWND hWnd", u"int (*cb)(int, const char *)", u"..."},
                                                "First < paragraph & more.\nSecond\r\nwith CR, caf\u00e9 \u2013 done",
                                                u"winuser.h", u"User32"});
  set.groups[0].functions.push_back(DocFunction{u"GetTickCount", u"DWORD", {}, {}, u"sysinfoapi.h", {}});
  set.groups.push_back(DocGroup{u"", {}});  // an empty group survives as well
  IndexDocumentationSet(set);
  return set;
}

TEST(DocsFileTest, WhatIsWrittenReadsBackUnchanged) {
  const DocumentationSet set = TrickySet();
  const std::string bytes = WriteDocumentationSet(set);
  const auto read = ReadDocumentationSet(AsBytes(bytes));
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->groups.size(), set.groups.size());
  for (std::size_t g = 0; g < set.groups.size(); ++g) {
    EXPECT_EQ(read->groups[g].title, set.groups[g].title);
    ASSERT_EQ(read->groups[g].functions.size(), set.groups[g].functions.size());
    for (std::size_t f = 0; f < set.groups[g].functions.size(); ++f) {
      const DocFunction& a = read->groups[g].functions[f];
      const DocFunction& b = set.groups[g].functions[f];
      EXPECT_EQ(a.name, b.name);
      EXPECT_EQ(a.returnType, b.returnType);
      EXPECT_EQ(a.parameters, b.parameters);
      EXPECT_EQ(a.description, b.description);
      EXPECT_EQ(a.header, b.header);
      EXPECT_EQ(a.library, b.library);
    }
  }
  // The reader indexes what it read.
  const auto found = FindFunction(*read, u"GetTickCount");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(FunctionAt(*read, *found).header, u"sysinfoapi.h");
}

TEST(DocsFileTest, RefusesWhatIsNotADocumentationSetOfAKnownVersion) {
  const struct {
    const char* label;
    std::string bytes;
  } kCases[] = {
      {"empty", ""},
      {"catalogue file", "<user32.lib path=\"C:\\\" x86=\"0\"></user32.lib>"},
      {"no version", "<korvane-docs></korvane-docs>"},
      {"later version", "<korvane-docs version=\"2\"></korvane-docs>"},
      {"version not a number", "<korvane-docs version=\"1a\"></korvane-docs>"},
      {"cut short", "<korvane-docs version=\"1\"><group title=\"G\"><function name=\"F\">"},
      {"entity declared",
       "<!DOCTYPE korvane-docs [<!ENTITY a \"aaaa\">]><korvane-docs version=\"1\"><group title=\"&a;\"/>"
       "</korvane-docs>"},
  };
  for (const auto& c : kCases) {
    EXPECT_FALSE(ReadDocumentationSet(AsBytes(c.bytes)).has_value()) << c.label;
  }
}

TEST(DocsFileTest, ElementsAndAttributesOfLaterMinorAdditionsAreIgnored) {
  const std::string bytes =
      "<korvane-docs version=\"1\" built=\"x\"><note>ignored</note><group title=\"G\" id=\"7\">"
      "<function name=\"F\" return=\"int\" calling=\"stdcall\"><param>int a</param><example>F(1)</example>"
      "<param>int b<sub>x</sub></param></function></group></korvane-docs>";
  const auto read = ReadDocumentationSet(AsBytes(bytes));
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->groups.size(), 1u);
  ASSERT_EQ(read->groups[0].functions.size(), 1u);
  const DocFunction& function = read->groups[0].functions[0];
  EXPECT_EQ(function.parameters, (std::vector<Text>{u"int a", u"int b"}));
  EXPECT_EQ(function.header, u"");
  EXPECT_TRUE(function.description.empty());
}

// The group's function count only makes room: a wrong or hostile one neither fails the read nor makes
// the reader ask for more memory than the file could fill.
TEST(DocsFileTest, AGroupsFunctionCountIsOnlyAHint) {
  for (const char* count : {"0", "5", "-1", "4000000000", "99999999999999999999999999", "x"}) {
    const std::string bytes = std::string("<korvane-docs version=\"1\"><group title=\"G\" functions=\"") + count +
                              "\"><function name=\"F\"/><function name=\"G\"/></group></korvane-docs>";
    const auto read = ReadDocumentationSet(AsBytes(bytes));
    ASSERT_TRUE(read.has_value()) << count;
    ASSERT_EQ(read->groups.size(), 1u) << count;
    EXPECT_EQ(read->groups[0].functions.size(), 2u) << count;
    EXPECT_LE(read->groups[0].functions.capacity(), 2u + bytes.size() / 40) << count;
  }
  // Many groups that each claim the whole file share that room instead of each reserving it.
  std::string bytes = "<korvane-docs version=\"1\">";
  for (int i = 0; i < 2000; ++i) bytes += "<group title=\"G\" functions=\"99999\"><function name=\"F\"/></group>";
  bytes += "</korvane-docs>";
  const auto read = ReadDocumentationSet(AsBytes(bytes));
  ASSERT_TRUE(read.has_value());
  std::size_t reserved = 0;
  for (const DocGroup& group : read->groups) reserved += group.functions.capacity();
  EXPECT_LE(reserved, read->groups.size() + bytes.size() / 40);
}

}  // namespace
}  // namespace korvane
