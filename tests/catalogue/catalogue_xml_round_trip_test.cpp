// A saved catalogue reads back as the library it came from (values cleaned up), and saving what was
// read gives the same bytes again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue_files.h"
#include "catalogue/catalogue_xml.h"

namespace korvane {
namespace {

std::optional<CatalogueDocument> Read(const std::string& xml) {
  return ReadCatalogueDocument(AsBytes(xml));
}

ApiFunction Cleaned(const ApiFunction& record) {
  ApiFunction clean;
  clean.Function = CleanCatalogueValue(record.Function);
  clean.Parameters = CleanCatalogueValue(record.Parameters);
  clean.Return = CleanCatalogueValue(record.Return);
  clean.Description = CleanCatalogueValue(record.Description);
  clean.Group = CleanCatalogueValue(record.Group);
  clean.Website = CleanCatalogueValue(record.Website);
  clean.AnsiUni = CleanCatalogueValue(record.AnsiUni);
  clean.checked = record.checked != 0 ? 1 : 0;
  return clean;
}

void ExpectSameRecord(const ApiFunction& read, const ApiFunction& expected) {
  EXPECT_EQ(read.Function, expected.Function);
  EXPECT_EQ(read.Parameters, expected.Parameters);
  EXPECT_EQ(read.Return, expected.Return);
  EXPECT_EQ(read.Description, expected.Description);
  EXPECT_EQ(read.Group, expected.Group);
  EXPECT_EQ(read.Website, expected.Website);
  EXPECT_EQ(read.AnsiUni, expected.AnsiUni);
  EXPECT_EQ(read.checked, expected.checked);
}

std::vector<ApiFunction> AwkwardRecords() {
  ApiFunction plain;
  plain.Function = u"GetWindowTextW";
  plain.Parameters = u"HWND hWnd, LPWSTR lpString, int nMaxCount";
  plain.Return = u"int";
  plain.Description = u"Copies the text of the specified window's title bar (if it has one) into a buffer.";
  plain.Group = u"Window Functions";
  plain.Website = u"https://docs.example/en-us/library/ms633520(v=vs.85).aspx?a=1&b=2";
  plain.AnsiUni = u"GetWindowText";
  plain.checked = 1;
  ApiFunction awkward;
  awkward.Function = u"  lead\tand trail  ";
  awkward.Parameters = u"a  \r\n  b\t\tc";
  awkward.Return = u"<T> & \"q\" 'a' ]]>";
  awkward.Description = Text(u"ctl\x01\x1F \uFFFE\uFFFF ") + char16_t(0xD800) + u" \U0001F600 \u00E4\u4E2D";
  awkward.Group = u"\r\n";
  awkward.Website = u"&amp;&lt;";
  awkward.checked = 7;
  return {plain, awkward, ApiFunction{}};
}

TEST(CatalogueXmlRoundTrip, ReadsBackCleanedRecordsAndRewritesTheSameBytes) {
  struct Case {
    Text path;
    int x86;
  };
  const std::vector<Case> cases = {
      {u"C:\\SDK\\Lib\\user32.lib", 1},
      {u"C:\\Program Files (x86)\\Windows Kits\\10\\Lib\\um\\x64\\d3dx9.dll.lib", 0},
      {u"C:\\My  Tools & 'Libs'\\3dfx lib.lib", 1},
      {u"/tmp/tab\there/new\nline\r/a:b.lib", 0},
      {u"C:\\x\\k\u00E4se.lib", 1},
      {u"C:\\x\\library", 0},
      {u"C:\\x\\", 0},
      {u"user32.lib", 1},
  };
  for (const auto& c : cases) {
    LibraryEntry entry;
    entry.path = c.path;
    entry.x86 = c.x86;
    entry.functions = AwkwardRecords();
    const std::string saved = WriteCatalogueDocument(entry);
    const auto document = Read(saved);
    ASSERT_TRUE(document) << TextToUtf8(c.path);
    const LibraryEntry rebuilt = ToLibraryEntry(*document);
    EXPECT_EQ(rebuilt.path, c.path);
    EXPECT_EQ(rebuilt.x86, c.x86);
    ASSERT_EQ(rebuilt.functions.size(), entry.functions.size());
    for (std::size_t i = 0; i < entry.functions.size(); ++i) {
      SCOPED_TRACE(TextToUtf8(c.path) + " record " + std::to_string(i));
      ExpectSameRecord(rebuilt.functions[i], Cleaned(entry.functions[i]));
    }
    EXPECT_EQ(WriteCatalogueDocument(rebuilt), saved) << TextToUtf8(c.path);
  }
}

}  // namespace
}  // namespace korvane
