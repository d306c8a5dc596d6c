// Reading catalogue files: which elements become records and fields, and how numbers are read.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue_xml.h"

namespace korvane {
namespace {

std::optional<CatalogueDocument> Read(const std::string& xml) {
  return ReadCatalogueDocument(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()));
}

// The one record of `<r><element>body</element></r>`.
std::optional<ApiFunction> ReadRecord(const std::string& body) {
  const auto document = Read("<r><element>" + body + "</element></r>");
  if (!document || document->records.size() != 1) return std::nullopt;
  return document->records[0];
}

std::vector<Text> Functions(const CatalogueDocument& document) {
  std::vector<Text> names;
  for (const auto& record : document.records) names.push_back(record.Function);
  return names;
}

TEST(CatalogueXmlReader, ReadsAWrittenFile) {
  ApiFunction record;
  record.Function = u"MessageBox";
  record.Parameters = u"HWND hWnd, LPCTSTR lpText";
  record.Return = u"INT";
  record.Description = u"Shows <a> message & waits.";
  record.Group = u"Dialog Boxes";
  record.Website = u"https://docs.example/ms645505";
  record.AnsiUni = u"MessageBox";
  record.checked = 1;
  LibraryEntry entry;
  entry.path = u"C:\\SDK\\Lib\\user32.lib";
  entry.x86 = 1;
  entry.functions = {record, ApiFunction{}};
  const auto document = Read(WriteCatalogueDocument(entry));
  ASSERT_TRUE(document);
  EXPECT_EQ(document->rootName, u"user32.lib");
  EXPECT_EQ(document->folder, u"C:\\SDK\\Lib\\");
  EXPECT_EQ(document->x86, 1);
  ASSERT_EQ(document->records.size(), 2u);
  const ApiFunction& read = document->records[0];
  EXPECT_EQ(read.Function, record.Function);
  EXPECT_EQ(read.Parameters, record.Parameters);
  EXPECT_EQ(read.Return, record.Return);
  EXPECT_EQ(read.Description, record.Description);
  EXPECT_EQ(read.Group, record.Group);
  EXPECT_EQ(read.Website, record.Website);
  EXPECT_EQ(read.AnsiUni, record.AnsiUni);
  EXPECT_EQ(read.checked, 1);
  EXPECT_EQ(document->records[1].Function, u"");
  EXPECT_EQ(document->records[1].checked, 0);
}

TEST(CatalogueXmlReader, FieldRules) {
  struct Case {
    const char* what;
    std::string body;
    Text function, description;
    int checked;
  };
  const std::vector<Case> cases = {
      {"first child wins", "<Function>A</Function><Function>B</Function>", u"A", u"", 0},
      {"first child wins even when empty", "<Function/><Function>B</Function>", u"", u"", 0},
      {"missing children stay empty", "", u"", u"", 0},
      {"other children ignored", "<Unknown>x</Unknown><Function>F</Function><Extra/>", u"F", u"", 0},
      {"names are case-sensitive", "<function>f</function><CHECKED>1</CHECKED>", u"", u"", 0},
      {"attributes ignored", "<Function Description=\"d\">F</Function>", u"F", u"", 0},
      {"nested text not taken", "<Function>a<b>x</b>c</Function>", u"ac", u"", 0},
      {"field nested deeper not taken", "<x><Function>F</Function></x>", u"", u"", 0},
      {"CDATA taken", "<Function><![CDATA[a<b]]></Function>", u"a<b", u"", 0},
      {"references resolved", "<Function>&#x4E2D;&amp;&lt;&#65;</Function>", u"\u4E2D&<A", u"", 0},
      {"white space kept as read", "<Description>  two  \n lines </Description>", u"", u"  two  \n lines ", 0},
      {"comments split text", "<Function>Get<!-- c -->DC</Function>", u"GetDC", u"", 0},
      {"checked 1", "<checked>1</checked>", u"", u"", 1},
      {"checked 0", "<checked>0</checked>", u"", u"", 0},
      {"checked empty", "<checked/>", u"", u"", 0},
      {"checked leading white space", "<checked> \t\r\n7</checked>", u"", u"", 1},
      {"checked digits then letters", "<checked>12abc</checked>", u"", u"", 1},
      {"checked no digits", "<checked>abc</checked>", u"", u"", 0},
      {"checked zeros", "<checked>000</checked>", u"", u"", 0},
      {"checked sign is no digit", "<checked>-1</checked>", u"", u"", 0},
      {"checked blank then zero then one", "<checked> 0 1</checked>", u"", u"", 0},
      {"checked huge", "<checked>99999999999999999999999</checked>", u"", u"", 1},
      {"checked first child wins", "<checked>0</checked><checked>1</checked>", u"", u"", 0},
  };
  for (const auto& c : cases) {
    const auto record = ReadRecord(c.body);
    ASSERT_TRUE(record) << c.what;
    EXPECT_EQ(record->Function, c.function) << c.what;
    EXPECT_EQ(record->Description, c.description) << c.what;
    EXPECT_EQ(record->checked, c.checked) << c.what;
  }
}

TEST(CatalogueXmlReader, RootRules) {
  struct Case {
    const char* what;
    std::string xml;
    Text rootName, folder;
    int x86;
    std::vector<Text> functions;
  };
  const std::string two = "<element><Function>A</Function></element><element><Function>B</Function></element>";
  const std::vector<Case> cases = {
      {"any root name", "<catalogue path=\"C:\\x\\\" x86=\"1\">" + two + "</catalogue>", u"catalogue", u"C:\\x\\",
       1, {u"A", u"B"}},
      {"no attributes", "<r>" + two + "</r>", u"r", u"", 0, {u"A", u"B"}},
      {"element is case-sensitive", "<r><Element/><ELEMENT/>" + two + "</r>", u"r", u"", 0, {u"A", u"B"}},
      {"other children ignored", "<r><item/>text" + two + "<x><element/></x></r>", u"r", u"", 0, {u"A", u"B"}},
      {"x86 leading white space", "<r x86=\" &#9;&#10;&#13;1\"/>", u"r", u"", 1, {}},
      {"x86 digits then letters", "<r x86=\"12abc\"/>", u"r", u"", 12, {}},
      {"x86 no digits", "<r x86=\"x1\"/>", u"r", u"", 0, {}},
      {"x86 huge saturates", "<r x86=\"99999999999999999999\"/>", u"r", u"", INT_MAX, {}},
      {"fallback root takes name", "<library path=\"C:\\x\\\" x86=\"0\" name=\"3dfx lib.lib\"/>", u"3dfx lib.lib",
       u"C:\\x\\", 0, {}},
      {"name counts on library only", "<other name=\"n.lib\"/>", u"other", u"", 0, {}},
      {"library without name", "<library/>", u"library", u"", 0, {}},
      {"attribute order free", "<r x86=\"1\" path=\"/p/\"/>", u"r", u"/p/", 1, {}},
      {"DOCTYPE without entities", "<!DOCTYPE r><r>" + two + "</r>", u"r", u"", 0, {u"A", u"B"}},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF<r/>", u"r", u"", 0, {}},
      {"Latin-1 declaration", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r path=\"\xE9\"/>", u"r", u"\u00E9",
       0, {}},
      {"trailing white space and comment", "<r/>\r\n<!-- end -->\n", u"r", u"", 0, {}},
  };
  for (const auto& c : cases) {
    const auto document = Read(c.xml);
    ASSERT_TRUE(document) << c.what;
    EXPECT_EQ(document->rootName, c.rootName) << c.what;
    EXPECT_EQ(document->folder, c.folder) << c.what;
    EXPECT_EQ(document->x86, c.x86) << c.what;
    EXPECT_EQ(Functions(*document), c.functions) << c.what;
  }
}

// UTF-16 with a byte-order mark is a well-formed equivalent; expat reads it.
TEST(CatalogueXmlReader, ReadsUtf16WithByteOrderMark) {
  const Text xml = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<r path=\"C:\\\u00E4\\\">"
                   u"<element><Function>\u4E2D</Function><checked>1</checked></element></r>\r\n";
  for (const bool bigEndian : {false, true}) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : xml) {
      const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
      bytes += bigEndian ? high : low;
      bytes += bigEndian ? low : high;
    }
    const auto document = Read(bytes);
    ASSERT_TRUE(document) << bigEndian;
    EXPECT_EQ(document->folder, u"C:\\\u00E4\\");
    ASSERT_EQ(document->records.size(), 1u);
    EXPECT_EQ(document->records[0].Function, u"\u4E2D");
    EXPECT_EQ(document->records[0].checked, 1);
  }
}

}  // namespace
}  // namespace korvane
