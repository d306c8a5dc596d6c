#include <gtest/gtest.h>

#include <vector>

#include "catalogue/library_loader.h"
#include "catalogue/symbol_names.h"
#include "helpers/archive_writer.h"

namespace korvane {
namespace {

TEST(IsDroppedSymbolName, DropsEverySymbolThatIsNotAFunction) {
  struct Case {
    Text name;
    bool dropped;
  };
  const std::vector<Case> cases = {
      {u"\x7FUSER32_NULL_THUNK_DATA", true},
      {u"__IMPORT_DESCRIPTOR_USER32", true},
      {u"__NULL_IMPORT_DESCRIPTOR", true},
      {u"__imp_??0CFoo@@QAE@XZ", true},
      {u"__imp__MessageBoxA@16", true},
      {u"__imp_GetDC", true},
      {u"__real@3ff0000000000000", true},
      {u"??0CFoo@@QAE@XZ", true},
      {u"?ValidatePixelShader@@YGJPBKPBU_D3DCAPS8@@KQAPAD@Z", true},
      {u"_MessageBoxA@16", false},
      {u"GetDC", false},
      {u"@FastProc@8", false},
      {u"", false},
      {u"__imp", false},                  // shorter than the prefix
      {u"__IMPORT", false},
      {u"__import_descriptor_x", false},  // comparisons are case-sensitive
      {u"__Imp_GetDC", false},
      {u"__real", false},
      {u"_?Foo", false},                  // "?" only at the start
      {u"Foo\x7F", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDroppedSymbolName(c.name), c.dropped) << TextToUtf8(c.name);
  }
}

TEST(IsGnuImportHelper, RecognisesTheGnuToolchainsHelperSymbols) {
  struct Case {
    Text name;
    bool helper;
  };
  const std::vector<Case> cases = {
      {u"__head_lib32_libuser32_a", true},
      {u"_head_lib64_libuser32_a", true},
      {u"__lib64_libuser32_a_iname", true},
      {u"_iname", true},
      {u"head_x", false},
      {u"_heads", false},
      {u"GetInameA", false},
      {u"x_iname_", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsGnuImportHelper(c.name), c.helper) << TextToUtf8(c.name);
  }
}

TEST(CollectFunctionNames, AppendsRawUntickedRecordsInDirectoryOrder) {
  LibraryEntry entry;
  entry.path = u"C:\\SDK\\Lib\\user32.lib";
  EXPECT_EQ(CollectFunctionNames(testing::MicrosoftLibrary({"_GetDC@4", "__imp__GetDC@4", "_Beep@8"}), entry).status,
            ArchiveStatus::Read);
  // A second archive appends behind the names already there; nothing is normalised or deduplicated.
  CollectFunctionNames(testing::GnuLibrary({"_GetDC@4"}), entry);
  ASSERT_EQ(entry.functions.size(), 3u);
  EXPECT_EQ(entry.functions[0].Function, u"_GetDC@4");
  EXPECT_EQ(entry.functions[1].Function, u"_Beep@8");
  EXPECT_EQ(entry.functions[2].Function, u"_GetDC@4");
  EXPECT_EQ(entry.functions[2].checked, 0);
  EXPECT_EQ(entry.path, u"C:\\SDK\\Lib\\user32.lib");
  EXPECT_EQ(entry.x86, 0);
}

}  // namespace
}  // namespace korvane
