// The set's C types: their text survives a write and a read, inside a set file too, and sets without
// them, or with a later format of them, still read.

#include <gtest/gtest.h>

#include <string>

#include "docs/c_types.h"
#include "docs/docs_file.h"

namespace korvane {
namespace {

CTypes Sample() {
  CTypes types;
  const CRecord shared{u"tagRECT", u"windef.h", false, 16, 4,
                       {CField{u"left", u"LONG", CValueKind::kSigned, 0, 4, 0, 0, {}},
                        CField{u"name\ttab", u"WCHAR [2]", CValueKind::kUnsigned, 32, 4, 2, 0, {}}}};
  types.x64.records = {shared, CRecord{u"_ONE", u"winnt.h", true, 8, 8,
                                       {CField{{}, u"union", CValueKind::kRecord, 0, 8, 0, 0, u"_ONE.1"},
                                        CField{u"bits", u"DWORD", CValueKind::kUnsigned, 3, 4, 0, 5, {}}}}};
  types.x86.records = {shared, CRecord{u"_ONE", u"winnt.h", true, 4, 4, {}}};
  types.x64.constants = {{u"INVALID_HANDLE_VALUE", u"handleapi.h", false, false, 8, -1, {}},
                         {u"WC_BUTTON", u"commctrl.h", true, false, 0, 0, u"Button\\x"}};
  types.x86.constants = {{u"INVALID_HANDLE_VALUE", u"handleapi.h", false, false, 4, -1, {}},
                         {u"WC_BUTTON", u"commctrl.h", true, false, 0, 0, u"Button\\x"},
                         {u"BIG", u"winnt.h", false, true, 8, static_cast<std::int64_t>(0x8000000000000000ULL), {}}};
  const TypeFacts pointer{TypeKind::kPointer, {0, 0}, {8, 8}, PointeeText::kNone};
  types.x64.callbacks = {{u"WNDPROC", u"winuser.h", CallingConvention::kUnknown, pointer, {pointer, pointer}, {u"hwnd", u""}}};
  types.names = {{u"RECT", {u"tagRECT", 0, false}}, {u"LPRECT", {u"tagRECT", 1, false}}, {u"tagRECT", {u"tagRECT", 0, true}}};
  return types;
}

void ExpectSame(const CTypes& a, const CTypes& b) {
  for (auto [x, y] : {std::pair{&a.x64, &b.x64}, std::pair{&a.x86, &b.x86}}) {
    EXPECT_EQ(x->records, y->records);
    // Constants and callbacks come back grouped by header.
    std::vector<CConstant> xc = x->constants;
    std::vector<CConstant> yc = y->constants;
    auto byHeader = [](const CConstant& l, const CConstant& r) { return std::tie(l.header, l.name) < std::tie(r.header, r.name); };
    std::sort(xc.begin(), xc.end(), byHeader);
    std::sort(yc.begin(), yc.end(), byHeader);
    EXPECT_EQ(xc, yc);
    EXPECT_EQ(x->callbacks, y->callbacks);
  }
  EXPECT_EQ(a.names, b.names);
}

TEST(CTypesTest, TypesSurviveTheTextAndTheSetFile) {
  const CTypes types = Sample();
  const std::string text = WriteCTypes(types);
  // The record alike on both architectures is written once.
  EXPECT_NE(text.find("R\t*\ttagRECT\tstruct\t16\t4\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("R\tx86\ttagRECT"), std::string::npos);
  const auto read = ReadCTypes(text);
  ASSERT_TRUE(read.has_value());
  ExpectSame(types, *read);

  DocumentationSet set;
  set.groups.push_back(DocGroup{u"Rectangles", {DocFunction{u"SetRect", u"BOOL", {u"LPRECT lprc"}, {}, u"winuser.h", {}}}});
  set.cTypes = text + "<&>\n";  // what XML must escape survives too
  const auto file = ReadDocumentationSet(AsBytes(WriteDocumentationSet(set)));
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->cTypes, set.cTypes);
  EXPECT_EQ(FunctionCount(*file), 1u);
}

TEST(CTypesTest, SetsWithoutTypesOrWithALaterFormatOfThemStillRead) {
  const std::string withoutTypes =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<korvane-docs version=\"1\">\n <group title=\"G\">\n"
      "  <function name=\"F\" return=\"int\" header=\"f.h\" library=\"\"></function>\n </group>\n</korvane-docs>\n";
  const auto old = ReadDocumentationSet(AsBytes(withoutTypes));
  ASSERT_TRUE(old.has_value());
  EXPECT_TRUE(old->cTypes.empty());
  EXPECT_FALSE(ReadCTypes("korvane-c-types 2\nH\tx.h\n").has_value());
  EXPECT_FALSE(ReadCTypes("").has_value());
  // Lines of a later minor addition are skipped; a field line without its record is ignored.
  const auto skipped = ReadCTypes("korvane-c-types 1\nF\tx\tint\ts\t0\t4\t0\t0\t\nZ\tnew\nH\ta.h\nK\t*\tA\ti\t4\t7\n");
  ASSERT_TRUE(skipped.has_value());
  ASSERT_EQ(skipped->x64.constants.size(), 1u);
  EXPECT_EQ(skipped->x86.constants.at(0).value, 7);
  EXPECT_EQ(skipped->x86.constants.at(0).header, u"a.h");
  EXPECT_TRUE(skipped->x64.records.empty());
}

}  // namespace
}  // namespace korvane
