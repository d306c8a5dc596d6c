// The typed signatures and the typedef table in the documentation set file.

#include <gtest/gtest.h>

#include <string>

#include "docs/docs_file.h"
#include "text/text.h"

namespace korvane {
namespace {

TEST(DocsFileTypesTest, SignaturesAndTypedefsSurviveAWriteAndARead) {
  DocumentationSet set;
  DocFunction function;
  function.name = u"MessageBoxW";
  function.returnType = u"int";
  function.parameters = {u"HWND hWnd", u"LPCWSTR lpText", u"POINT pt", u"..."};
  function.call = CallingConvention::kCdecl;
  function.returnFacts = TypeFacts{TypeKind::kSigned, {4, 4}, {4, 4}, PointeeText::kNone};
  function.parameterTypes = {TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone},
                             TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kWideChar},
                             TypeFacts{TypeKind::kRecord, {8, 4}, {8, 4}, PointeeText::kNone},
                             TypeFacts{TypeKind::kVariadic, {}, {}, PointeeText::kNone}};
  set.groups.push_back(DocGroup{u"Dialog Boxes", {function}});
  set.typedefs = {{u"LPCSTR", TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kChar}},
                  {u"WPARAM", TypeFacts{TypeKind::kUnsigned, {4, 4}, {8, 8}, PointeeText::kNone}},
                  {u"COLOR", TypeFacts{TypeKind::kEnum, {4, 4}, {4, 4}, PointeeText::kNone}},
                  {u"d", TypeFacts{TypeKind::kFloat, {8, 4}, {8, 8}, PointeeText::kNone}}};
  const std::string bytes = WriteDocumentationSet(set);
  EXPECT_NE(bytes.find("call=\"cdecl\" return-type=\"signed 4/4 4/4\""), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("<param type=\"pointer-wchar 4/4 8/8\">LPCWSTR lpText</param>"), std::string::npos);
  EXPECT_NE(bytes.find(" <typedef name=\"LPCSTR\" type=\"pointer-char 4/4 8/8\"/>"), std::string::npos);
  const auto read = ReadDocumentationSet(AsBytes(bytes));
  ASSERT_TRUE(read.has_value());
  const DocFunction& back = read->groups.at(0).functions.at(0);
  EXPECT_EQ(back.call, function.call);
  EXPECT_EQ(back.returnFacts, function.returnFacts);
  EXPECT_EQ(back.parameterTypes, function.parameterTypes);
  EXPECT_EQ(read->typedefs, set.typedefs);
}

// A signature is used whole or not at all: one parameter without a type, or a type that does not
// read, leaves the function untyped; its texts stay.
TEST(DocsFileTypesTest, ASignatureThatIsNotWholeIsDropped) {
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<korvane-docs version=\"1\">\n <group title=\"g\">\n"
      "  <function name=\"F\" return=\"int\" call=\"stdcall\" return-type=\"signed 4/4 4/4\">\n";
  const std::string tail = "  </function>\n </group>\n <typedef name=\"BAD\" type=\"pointer 4 8/8\"/>\n</korvane-docs>\n";
  const std::string kParams[] = {
      "   <param type=\"signed 4/4 4/4\">int a</param>\n   <param>int b</param>\n",
      "   <param type=\"signed 4/4 4/4\">int a</param>\n   <param type=\"signed 4/x 4/4\">int b</param>\n",
      "   <param type=\"wide 4/4 4/4\">int a</param>\n   <param type=\"signed 4/4 4/4\">int b</param>\n",
      // Sizes are capped at 1 MiB exactly: one digit more is no type a function takes.
      "   <param type=\"record 1048577/4 4/4\">int a</param>\n   <param type=\"signed 4/4 4/4\">int b</param>\n",
      "   <param type=\"record 10485769/4 4/4\">int a</param>\n   <param type=\"signed 4/4 4/4\">int b</param>\n",
  };
  for (const std::string& params : kParams) {
    const auto read = ReadDocumentationSet(AsBytes(head + params + tail));
    ASSERT_TRUE(read.has_value()) << params;
    const DocFunction& function = read->groups.at(0).functions.at(0);
    EXPECT_EQ(function.parameters.size(), 2u);
    EXPECT_TRUE(function.parameterTypes.empty()) << params;
    EXPECT_EQ(function.returnFacts.kind, TypeKind::kUnknown) << params;
    EXPECT_EQ(function.call, CallingConvention::kUnknown) << params;
    EXPECT_TRUE(read->typedefs.empty());
  }
}

}  // namespace
}  // namespace korvane
