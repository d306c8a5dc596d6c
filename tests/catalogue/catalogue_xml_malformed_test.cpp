// Catalogue files that are broken or hostile: the reader gives nothing (or what is really there) and
// never crashes, hangs or grows without bound.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "catalogue/catalogue_xml.h"

namespace korvane {
namespace {

std::optional<CatalogueDocument> Read(const std::string& xml) {
  return ReadCatalogueDocument(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()));
}

std::string BillionLaughs() {
  std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n<!ENTITY l0 \"ha\">\n";
  for (int level = 1; level <= 10; ++level) {
    xml += "<!ENTITY l" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) xml += "&l" + std::to_string(level - 1) + ";";
    xml += "\">\n";
  }
  return xml + "]>\n<r><element><Function>&l10;</Function></element></r>\n";
}

std::string ParameterEntityLaughs() {
  std::string xml = "<!DOCTYPE r [\n<!ENTITY % p0 \"ha\">\n";
  for (int level = 1; level <= 10; ++level) {
    xml += "<!ENTITY % p" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) xml += "%p" + std::to_string(level - 1) + ";";
    xml += "\">\n";
  }
  return xml + "]>\n<r/>\n";
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

// ASCII text as UTF-16 little-endian code units, without a byte-order mark.
std::string Utf16Le(std::string_view ascii) {
  std::string bytes;
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

TEST(CatalogueXmlReader, RefusesMalformedAndHostileFiles) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"empty file", ""},
      {"white space only", " \r\n\t"},
      {"declaration only", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"},
      {"plain text", "user32.lib MessageBox"},
      {"unclosed root", "<r><element>"},
      {"mismatched end tag", "<r><element></elemen></r>"},
      {"two roots", "<a/><b/>"},
      {"text after the root", "<r/>x"},
      {"undefined entity", "<r><element><Function>&nbsp;</Function></element></r>"},
      {"duplicate attribute", "<r path=\"a\" path=\"b\"/>"},
      {"unquoted attribute", "<r x86=1/>"},
      {"lone ampersand", "<r>a & b</r>"},
      {"invalid UTF-8", "<r><element><Function>\xFF\xFE</Function></element></r>"},
      {"forbidden character reference", "<r>&#1;</r>"},
      {"NUL byte", std::string("<r>\0</r>", 8)},
      {"UTF-16 without mark but UTF-8 declared", Utf16Le("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r/>")},
      {"unknown encoding", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r/>"},
      {"billion laughs", BillionLaughs()},
      {"parameter entity laughs", ParameterEntityLaughs()},
      {"one harmless entity", "<!DOCTYPE r [<!ENTITY a \"x\">]><r/>"},
      {"external entity", "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>"},
      {"unparsed entity", "<!DOCTYPE r [<!NOTATION n SYSTEM \"n\"><!ENTITY u SYSTEM \"u\" NDATA n>]><r/>"},
      {"binary garbage", RandomBytes(4096, 1)},
      {"garbage after a tag", "<r>" + RandomBytes(4096, 2)},
      {"ZIP header", std::string("PK\x03\x04\x14\0\0\0\x08\0", 10)},
  };
  for (const auto& c : cases) EXPECT_FALSE(Read(c.bytes)) << c.what;
}

TEST(CatalogueXmlReader, RefusesEveryTruncationOfAWrittenFile) {
  ApiFunction record;
  record.Function = u"MessageBoxA";
  record.Parameters = u"HWND hWnd, LPCSTR lpText";
  record.Description = u"a & b";
  record.checked = 1;
  LibraryEntry entry;
  entry.path = u"C:\\SDK\\Lib\\user32.lib";
  entry.functions = {record, record};
  const std::string file = WriteCatalogueDocument(entry);
  // Cut anywhere before the root's end tag is complete and the file is not well-formed; only the
  // final CR LF may go.
  const std::size_t complete = file.size() - 2;
  for (std::size_t size = 0; size < complete; ++size) {
    EXPECT_FALSE(Read(file.substr(0, size))) << "cut at " << size;
  }
  for (std::size_t size = complete; size <= file.size(); ++size) {
    const auto document = Read(file.substr(0, size));
    ASSERT_TRUE(document) << "cut at " << size;
    EXPECT_EQ(document->records.size(), 2u);
  }
}

TEST(CatalogueXmlReader, ReadsAHugeAttribute) {
  const std::size_t size = 10 * 1024 * 1024;
  const auto document = Read("<r path=\"" + std::string(size, 'p') + "\" x86=\"1\"><element/></r>");
  ASSERT_TRUE(document);
  EXPECT_EQ(document->folder.size(), size);
  EXPECT_EQ(document->x86, 1);
  EXPECT_EQ(document->records.size(), 1u);
}

TEST(CatalogueXmlReader, ReadsDeepNestingWithoutRecords) {
  const std::size_t depth = 100000;
  std::string xml;
  for (std::size_t i = 0; i < depth; ++i) xml += "<a>";
  xml += "<element><Function>deep</Function></element>";
  for (std::size_t i = 0; i < depth; ++i) xml += "</a>";
  const auto document = Read(xml);
  ASSERT_TRUE(document);
  EXPECT_TRUE(document->records.empty());
}

// Without a handler for external entities expat fetches nothing: the reference is skipped.
TEST(CatalogueXmlReader, NeverLoadsAnExternalSubset) {
  const auto document = Read(
      "<!DOCTYPE r SYSTEM \"file:///etc/passwd\">"
      "<r><element><Function>a&secret;b</Function></element></r>");
  ASSERT_TRUE(document);
  ASSERT_EQ(document->records.size(), 1u);
  EXPECT_EQ(document->records[0].Function, u"ab");
}

}  // namespace
}  // namespace korvane
