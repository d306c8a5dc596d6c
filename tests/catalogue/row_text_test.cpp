#include <gtest/gtest.h>

#include <vector>

#include "catalogue/api_function.h"
#include "catalogue/catalogue.h"
#include "text/paths.h"

namespace korvane {
namespace {

TEST(RowText, ShowsTheParametersColumnAndThePageName) {
  struct Case {
    Text parameters, returnType, website;
    Text expectedParameters, expectedWebsite;
  };
  const std::vector<Case> cases = {
      {u"", u"INT", u"", u"( void )", u""},
      {u"", u"", u"", u"", u""},
      {u"HWND hWnd", u"", u"", u"( HWND hWnd )", u""},
      {u"HWND hWnd, LPCTSTR lpText", u"INT", u"", u"( HWND hWnd, LPCTSTR lpText )", u""},
      {u"", u"", u"https://docs.example/en-us/library/ms645505(v=vs.85).aspx", u"", u"ms645505(v=vs.85).aspx"},
      {u"", u"", u"C:\\help\\page.htm", u"", u"page.htm"},
      {u"", u"", u"a/b\\c", u"", u"c"},
      {u"", u"", u"about:blank", u"", u"about:blank"},
      {u"", u"", u"https://docs.example/", u"", u""},
  };
  for (const auto& c : cases) {
    ApiFunction record;
    record.Function = u"MessageBoxA";
    record.Parameters = c.parameters;
    record.Return = c.returnType;
    record.Description = u"Shows a message box.";
    record.Group = u"Dialog Boxes";
    record.Website = c.website;
    const RowTexts row = RowText(record);
    EXPECT_EQ(row[0], u"MessageBoxA");
    EXPECT_EQ(row[1], c.expectedParameters) << TextToUtf8(c.parameters) << " / " << TextToUtf8(c.returnType);
    EXPECT_EQ(row[2], c.returnType);
    EXPECT_EQ(row[3], u"Shows a message box.");
    EXPECT_EQ(row[4], u"Dialog Boxes");
    EXPECT_EQ(row[5], c.expectedWebsite) << TextToUtf8(c.website);
  }
}

TEST(RowText, CountAndArchitectureTexts) {
  EXPECT_EQ(FunctionCountText(1021), u" 1021 Functions");
  EXPECT_EQ(FunctionCountText(0), u" 0 Functions");
  LibraryEntry entry;
  EXPECT_EQ(ArchitectureText(entry), u"x64");
  entry.x86 = 1;
  EXPECT_EQ(ArchitectureText(entry), u"x86");
}

TEST(Catalogue, LibraryKeysAndFileNamesComeFromThePath) {
  struct Case {
    Text path, key, fileName, folder;
  };
  const std::vector<Case> cases = {
      {u"C:\\SDK\\Lib\\user32.lib", u"user32", u"user32.lib", u"C:\\SDK\\Lib\\"},
      {u"/usr/x86_64-w64-mingw32/lib/libuser32.a", u"libuser32", u"libuser32.a", u"/usr/x86_64-w64-mingw32/lib/"},
      {u"C:\\a.b\\d3dx9.dll.lib", u"d3dx9.dll", u"d3dx9.dll.lib", u"C:\\a.b\\"},
      {u"C:\\a.b\\noext", u"noext", u"noext", u"C:\\a.b\\"},
      {u"plain.lib", u"plain", u"plain.lib", u""},
      {u"C:\\dir\\.lib", u"", u".lib", u"C:\\dir\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LibraryKeyFromPath(c.path), c.key) << TextToUtf8(c.path);
    EXPECT_EQ(FileNameFromPath(c.path), c.fileName) << TextToUtf8(c.path);
    EXPECT_EQ(FolderFromPath(c.path), c.folder) << TextToUtf8(c.path);
  }
}

TEST(Catalogue, KeysAreExactAndEntriesKeepTheirCreationOrder) {
  Catalogue catalogue;
  LibraryEntry& upper = catalogue.FindOrCreate(u"User32");
  upper.path = u"C:\\A\\User32.lib";
  LibraryEntry& lower = catalogue.FindOrCreate(u"user32");
  EXPECT_EQ(&catalogue.FindOrCreate(u"User32"), &upper);
  EXPECT_NE(&upper, &lower);
  EXPECT_EQ(catalogue.Size(), 2u);
  EXPECT_TRUE(lower.path.empty());
  EXPECT_EQ(lower.x86, 0);
  EXPECT_EQ(catalogue.Find(u"User32"), &upper);
  EXPECT_EQ(catalogue.Find(u"USER32"), nullptr);

  EXPECT_TRUE(catalogue.SetShown(u"User32"));
  EXPECT_EQ(catalogue.Shown(), &upper);
  EXPECT_FALSE(catalogue.SetShown(u"gdi32"));
  EXPECT_EQ(catalogue.Shown(), nullptr);

  // Saving and listing follow this order: it is the load order.
  std::vector<Text> order;
  catalogue.ForEach([&order](const Text& key, const LibraryEntry&) { order.push_back(key); });
  EXPECT_EQ(order, (std::vector<Text>{u"User32", u"user32"}));

  catalogue.Clear();
  EXPECT_TRUE(catalogue.Empty());
  EXPECT_EQ(catalogue.Shown(), nullptr);
  EXPECT_TRUE(catalogue.ShownKey().empty());
  EXPECT_EQ(catalogue.Find(u"User32"), nullptr);
}

}  // namespace
}  // namespace korvane
