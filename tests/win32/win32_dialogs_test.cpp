// What the open-file dialog is given and what is made of its answer. The dialogs themselves wait for a
// person, so their two conversions are tested on their own.
#include "platform/win32/win32_dialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

using namespace std::string_literals;

TEST(DialogFilter, EachPartEndsInZeroAndTheListInOneMore) {
  const struct {
    Text filter;
    std::wstring expected;
  } cases[] = {
      {u"lib (*.lib)|*.lib", L"lib (*.lib)\0*.lib\0All files (*.*)\0*.*\0\0"s},
      {u"XML (*.xml)|*.xml|All|*.*", L"XML (*.xml)\0*.xml\0All\0*.*\0\0"s},
      {u"All|*.*|lib|*.lib", L"All\0*.*\0lib\0*.lib\0\0"s},
      {u"a|", L"a\0\0All files (*.*)\0*.*\0\0"s},
  };
  for (const auto& c : cases) EXPECT_EQ(win32::DialogFilter(c.filter), c.expected);
}

TEST(SelectedPaths, OneFileOrAFolderWithNames) {
  const struct {
    const char* name;
    std::wstring buffer;
    std::vector<Text> paths;
  } cases[] = {
      {"one file", L"C:\\SDK\\Lib\\user32.lib\0\0"s, {u"C:\\SDK\\Lib\\user32.lib"}},
      {"several, in the dialog's order",
       L"C:\\SDK\\Lib\0user32.lib\0kernel32.lib\0gdi32.lib\0\0"s,
       {u"C:\\SDK\\Lib\\user32.lib", u"C:\\SDK\\Lib\\kernel32.lib", u"C:\\SDK\\Lib\\gdi32.lib"}},
      {"several in a drive's root", L"C:\\\0a.lib\0b.lib\0\0"s, {u"C:\\a.lib", u"C:\\b.lib"}},
      {"names with blanks and accents",
       L"D:\\my libs\0\u00E9t\u00E9 1.lib\0x y.lib\0\0"s,
       {u"D:\\my libs\\\u00E9t\u00E9 1.lib", u"D:\\my libs\\x y.lib"}},
      {"nothing", L"\0\0"s, {}},
      {"without the final terminator", L"C:\\x\0a.lib"s, {u"C:\\x\\a.lib"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(win32::SelectedPaths(c.buffer), c.paths);
  }
}

}  // namespace
}  // namespace korvane
