// Catalogue file names: building them from a library and a time, and taking the library back.
#include <gtest/gtest.h>

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/catalogue_xml.h"
#include "text/paths.h"

namespace korvane {
namespace {

LibraryEntry Entry(const Text& path, int x86) {
  LibraryEntry entry;
  entry.path = path;
  entry.x86 = x86;
  return entry;
}

TEST(CatalogueFileName, BuildsArchitectureTimeStampAndLibraryFileName) {
  struct Case {
    Text path;
    int x86;
    LocalTime time;
    Text name;
  };
  const std::vector<Case> cases = {
      {u"C:\\SDK\\Lib\\user32.lib", 1, {2015, 12, 6, 21, 42, 35}, u"[x86] [12.06.2015-21.42.35] user32.lib.xml"},
      {u"C:\\SDK\\Lib\\kernel32.lib", 0, {2015, 12, 6, 21, 42, 36},
       u"[x64] [12.06.2015-21.42.36] kernel32.lib.xml"},
      {u"/usr/lib/d3dx9.dll.lib", 1, {2024, 1, 2, 3, 4, 5}, u"[x86] [01.02.2024-03.04.05] d3dx9.dll.lib.xml"},
      {u"C:\\x\\a.lib", 0, {2000, 9, 30, 0, 0, 0}, u"[x64] [09.30.2000-00.00.00] a.lib.xml"},
      {u"C:\\x\\a.lib", 0, {999, 10, 31, 23, 59, 59}, u"[x64] [10.31.0999-23.59.59] a.lib.xml"},
      {u"C:\\x\\a.lib", 0, {-1, -1, 1, 2, 3, 4}, u"[x64] [00.01.0000-02.03.04] a.lib.xml"},
      {u"C:\\x\\my lib.lib", 2, {2015, 12, 6, 21, 42, 35}, u"[x86] [12.06.2015-21.42.35] my lib.lib.xml"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CatalogueFileName(Entry(c.path, c.x86), c.time), c.name) << TextToUtf8(c.path);
  }
}

TEST(CatalogueFileName, TakesTheLibraryFileNameBack) {
  struct Case {
    Text path, library;
  };
  const std::vector<Case> cases = {
      {u"[x86] [12.06.2015-21.42.35] user32.lib.xml", u"user32.lib"},
      {u"C:\\My Tools\\Korvane.xml\\[x86] [12.06.2015-21.42.35] user32.lib.xml", u"user32.lib"},
      {u"/home/a b/Korvane.xml/[x64] [12.06.2015-21.42.35] d3dx9.dll.lib.xml", u"d3dx9.dll.lib"},
      {u"C:\\Tools\\Korvane.xml\\[x86] [12.06.2015-21.42.35] my lib.lib.xml", u"my lib.lib"},
      {u"C:\\Tools\\Korvane.xml\\Korvane", u""},
      {u"C:\\Tools\\Korvane.xml\\user32.lib.xml", u""},
      {u"C:\\Tools\\Korvane.xml\\one two.xml", u""},
      {u"a b c.xml.xml", u"c"},
      {u"a b c.XML", u"c"},
      {u"a b c.lib.Xml", u"c.lib"},
      {u"a  b.xml", u"b"},
      {u"a b ", u""},
      {u"", u""},
      {u"C:\\Tools\\Korvane.xml\\", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LibraryFileNameFromCatalogueFile(c.path), c.library) << TextToUtf8(c.path);
  }
}

TEST(CatalogueFileName, AWrittenNameGivesItsLibraryBack) {
  const LocalTime time{2015, 12, 6, 21, 42, 35};
  for (const Text path : {u"C:\\SDK\\Lib\\user32.lib", u"C:\\SDK\\Lib\\d3dx9.dll.lib", u"/usr/lib/libuser32.a",
                          u"C:\\Program Files\\Lib\\My Library 2.lib", u"noext"}) {
    const Text written = u"C:\\My Tools\\Korvane.xml\\" + CatalogueFileName(Entry(path, 1), time);
    EXPECT_EQ(LibraryFileNameFromCatalogueFile(written), FileNameFromPath(path)) << TextToUtf8(path);
  }
}

}  // namespace
}  // namespace korvane
