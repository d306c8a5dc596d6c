// Writing catalogue files: the exact layout, escaping, value clean-up and the root name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue_xml.h"

namespace korvane {
namespace {

ApiFunction MessageBoxRecord() {
  ApiFunction record;
  record.Function = u"MessageBox";
  record.AnsiUni = u"MessageBox";
  record.checked = 1;
  return record;
}

LibraryEntry User32(std::vector<ApiFunction> functions) {
  LibraryEntry entry;
  entry.path = u"C:\\SDK\\Lib\\user32.lib";
  entry.x86 = 1;
  entry.functions = std::move(functions);
  return entry;
}

// The lines of a written file, each without its CR LF; fails the test when a line ends otherwise.
std::vector<std::string> Lines(const std::string& file) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < file.size()) {
    const std::size_t end = file.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "unterminated last line";
    if (end == std::string::npos) break;
    EXPECT_EQ(file.substr(start, end - start).find_first_of("\r\n"), std::string::npos);
    lines.push_back(file.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST(CatalogueXmlWriter, WritesTheWholeFileByteForByte) {
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "\r\n"
      "<user32.lib path=\"C:\\SDK\\Lib\\\" x86=\"1\">\r\n"
      "        <element>\r\n"
      "                <Function>MessageBox</Function>\r\n"
      "                <Parameters/>\r\n"
      "                <Return/>\r\n"
      "                <Description/>\r\n"
      "                <Group/>\r\n"
      "                <Website/>\r\n"
      "                <AnsiUni>MessageBox</AnsiUni>\r\n"
      "                <checked>1</checked>\r\n"
      "        </element>\r\n"
      "</user32.lib>\r\n";
  EXPECT_EQ(WriteCatalogueDocument(User32({MessageBoxRecord()})), expected);
}

TEST(CatalogueXmlWriter, WritesEveryFieldInRecordOrder) {
  ApiFunction record;
  record.Function = u"GetDC";
  record.Parameters = u"HWND hWnd";
  record.Return = u"HDC";
  record.Description = u"Retrieves a handle to a device context.";
  record.Group = u"Device Contexts";
  record.Website = u"https://docs.example/ms533241";
  record.AnsiUni = u"";
  record.checked = 0;
  const auto lines = Lines(WriteCatalogueDocument(User32({record, MessageBoxRecord()})));
  ASSERT_EQ(lines.size(), 24u);
  const std::vector<std::string> first(lines.begin() + 3, lines.begin() + 13);
  EXPECT_EQ(first, (std::vector<std::string>{
                       "        <element>",
                       "                <Function>GetDC</Function>",
                       "                <Parameters>HWND hWnd</Parameters>",
                       "                <Return>HDC</Return>",
                       "                <Description>Retrieves a handle to a device context.</Description>",
                       "                <Group>Device Contexts</Group>",
                       "                <Website>https://docs.example/ms533241</Website>",
                       "                <AnsiUni/>",
                       "                <checked>0</checked>",
                       "        </element>",
                   }));
  EXPECT_EQ(lines[14], "                <Function>MessageBox</Function>");
}

TEST(CatalogueXmlWriter, WritesAnEmptyLibraryAsRootAlone) {
  LibraryEntry entry = User32({});
  entry.x86 = 0;
  EXPECT_EQ(WriteCatalogueDocument(entry),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
            "<user32.lib path=\"C:\\SDK\\Lib\\\" x86=\"0\">\r\n</user32.lib>\r\n");
}

TEST(CatalogueXmlWriter, EscapesElementText) {
  struct Case {
    Text value;
    std::string line;
  };
  const std::vector<Case> cases = {
      {u"a & b", "<Description>a &amp; b</Description>"},
      {u"<T>", "<Description>&lt;T&gt;</Description>"},
      {u"]]>", "<Description>]]&gt;</Description>"},
      {u"it's \"quoted\"", "<Description>it's \"quoted\"</Description>"},
      {u"&amp;", "<Description>&amp;amp;</Description>"},
      {u"tab\there", "<Description>tab\there</Description>"},
      {u"\u00FCber \u4E2D \U0001F600", "<Description>\xC3\xBC" "ber \xE4\xB8\xAD \xF0\x9F\x98\x80</Description>"},
  };
  for (const auto& c : cases) {
    ApiFunction record = MessageBoxRecord();
    record.Description = c.value;
    const auto lines = Lines(WriteCatalogueDocument(User32({record})));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[7], "                " + c.line) << TextToUtf8(c.value);
  }
}

TEST(CatalogueXmlWriter, EscapesTheFolderAttributeWithoutCleaningItUp) {
  struct Case {
    Text path;
    std::string rootLine;
  };
  const std::vector<Case> cases = {
      {u"C:\\A&B\\user32.lib", "<user32.lib path=\"C:\\A&amp;B\\\" x86=\"1\">"},
      {u"C:\\<x>\\user32.lib", "<user32.lib path=\"C:\\&lt;x&gt;\\\" x86=\"1\">"},
      {u"C:\\it's \"q\"\\user32.lib", "<user32.lib path=\"C:\\it&apos;s &quot;q&quot;\\\" x86=\"1\">"},
      {u"/tmp/a\nb\rc\td/user32.lib", "<user32.lib path=\"/tmp/a&#10;b&#13;c&#9;d/\" x86=\"1\">"},
      {u"C:\\My  Tools\\user32.lib", "<user32.lib path=\"C:\\My  Tools\\\" x86=\"1\">"},
      {u"/tmp/\x01x\x1F/user32.lib", "<user32.lib path=\"/tmp/x/\" x86=\"1\">"},
      {u"user32.lib", "<user32.lib path=\"\" x86=\"1\">"},
  };
  for (const auto& c : cases) {
    LibraryEntry entry = User32({});
    entry.path = c.path;
    EXPECT_EQ(Lines(WriteCatalogueDocument(entry))[2], c.rootLine) << TextToUtf8(c.path);
  }
}

TEST(CatalogueXmlWriter, CleansValuesUp) {
  struct Case {
    Text value, clean;
  };
  const std::vector<Case> cases = {
      {u"a  b", u"a b"},
      {u"a \t b", u"a b"},
      {u"a\t  b", u"a\tb"},
      {u"   leading", u" leading"},
      {u"trailing\t\t", u"trailing\t"},
      {u"line one\r\nline two", u"line oneline two"},
      {u"a \r\n b", u"a b"},
      {u"\r\n", u""},
      {u"\x01x\x08y\x0B\x0C\x1F", u"xy"},
      {u"a\uFFFEb\uFFFFc\uFFFD", u"abc\uFFFD"},
      {Text(u"lone ") + char16_t(0xD800) + u" high", u"lone \uFFFD high"},
      {Text(u"lone ") + char16_t(0xDC00), u"lone \uFFFD"},
      {u"pair \U0001F600", u"pair \U0001F600"},
      {u"", u""},
      {u"plain", u"plain"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CleanCatalogueValue(c.value), c.clean) << TextToUtf8(c.value);
    EXPECT_EQ(CleanCatalogueValue(c.clean), c.clean) << "a second pass changes " << TextToUtf8(c.clean);
  }
}

TEST(CatalogueXmlWriter, WritesCleanedValuesAndEmptyResultsAsEmptyTags) {
  ApiFunction record = MessageBoxRecord();
  record.Parameters = u"HWND  hWnd,\r\n  LPCTSTR lpText";
  record.Description = u"\r\n";
  record.Return = u"  ";
  const auto lines = Lines(WriteCatalogueDocument(User32({record})));
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[5], "                <Parameters>HWND hWnd, LPCTSTR lpText</Parameters>");
  EXPECT_EQ(lines[6], "                <Return> </Return>");
  EXPECT_EQ(lines[7], "                <Description/>");
}

TEST(CatalogueXmlWriter, WritesCheckedAndX86AsZeroOrOne) {
  struct Case {
    int value;
    std::string written;
  };
  for (const Case& c : {Case{0, "0"}, Case{1, "1"}, Case{2, "1"}, Case{-1, "1"}}) {
    ApiFunction record = MessageBoxRecord();
    record.checked = c.value;
    LibraryEntry entry = User32({record});
    entry.x86 = c.value;
    const auto lines = Lines(WriteCatalogueDocument(entry));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[2], "<user32.lib path=\"C:\\SDK\\Lib\\\" x86=\"" + c.written + "\">");
    EXPECT_EQ(lines[11], "                <checked>" + c.written + "</checked>");
  }
}

TEST(CatalogueXmlWriter, NamesTheRootLibraryWhenTheFileNameIsNoXmlName) {
  struct Case {
    Text path;
    std::string rootLine, endLine;
  };
  const std::vector<Case> cases = {
      {u"C:\\x\\d3dx9.dll.lib", "<d3dx9.dll.lib path=\"C:\\x\\\" x86=\"0\">", "</d3dx9.dll.lib>"},
      {u"C:\\x\\_under-score.lib", "<_under-score.lib path=\"C:\\x\\\" x86=\"0\">", "</_under-score.lib>"},
      {u"C:\\x\\3dfx lib.lib", "<library path=\"C:\\x\\\" x86=\"0\" name=\"3dfx lib.lib\">", "</library>"},
      {u"C:\\x\\my(lib).lib", "<library path=\"C:\\x\\\" x86=\"0\" name=\"my(lib).lib\">", "</library>"},
      {u"/x/a:b.lib", "<library path=\"/x/\" x86=\"0\" name=\"a:b.lib\">", "</library>"},
      {u"/x/a&b's.lib", "<library path=\"/x/\" x86=\"0\" name=\"a&amp;b&apos;s.lib\">", "</library>"},
      {u"C:\\x\\k\u00E4se.lib", "<library path=\"C:\\x\\\" x86=\"0\" name=\"k\xC3\xA4se.lib\">", "</library>"},
      {u"C:\\x\\", "<library path=\"C:\\x\\\" x86=\"0\" name=\"\">", "</library>"},
      {u"", "<library path=\"\" x86=\"0\" name=\"\">", "</library>"},
  };
  for (const auto& c : cases) {
    LibraryEntry entry;
    entry.path = c.path;
    const auto lines = Lines(WriteCatalogueDocument(entry));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], c.rootLine) << TextToUtf8(c.path);
    EXPECT_EQ(lines[3], c.endLine) << TextToUtf8(c.path);
  }
}

TEST(CatalogueXmlWriter, PlainXmlNames) {
  struct Case {
    Text name;
    bool plain;
  };
  const std::vector<Case> cases = {
      {u"user32.lib", true},  {u"User32.LIB", true},  {u"_x", true},      {u"a-b_c.d9", true},
      {u"xmlfile.lib", true}, {u"", false},           {u"3d.lib", false}, {u".lib", false},
      {u"-a", false},         {u"a b", false},        {u"a:b", false},    {u"a(b)", false},
      {u"\u00E4.lib", false}, {u"a\u00E4", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlainXmlName(c.name), c.plain) << TextToUtf8(c.name);
}

}  // namespace
}  // namespace korvane
