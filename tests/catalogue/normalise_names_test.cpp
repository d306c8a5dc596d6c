#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/symbol_names.h"

namespace korvane {
namespace {

// "Function|AnsiUni" for each record, in list order.
std::vector<std::string> Normalised(const std::vector<Text>& rawNames, int* x86 = nullptr) {
  LibraryEntry entry;
  for (const Text& name : rawNames) {
    ApiFunction record;
    record.Function = name;
    entry.functions.push_back(record);
  }
  NormaliseLibraryNames(entry);
  if (x86 != nullptr) *x86 = entry.x86;
  std::vector<std::string> rows;
  for (const ApiFunction& record : entry.functions) {
    EXPECT_EQ(record.checked, 0);
    rows.push_back(TextToUtf8(record.Function) + "|" + TextToUtf8(record.AnsiUni));
  }
  return rows;
}

TEST(NormaliseLibraryNames, UndecoratesPairsDeduplicatesAndSorts) {
  struct Case {
    const char* name;
    std::vector<Text> raw;
    int x86;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"x86 library",
       {u"_MessageBoxA@16", u"_MessageBoxW@16", u"_GetDC@4", u"@FastProc@8", u"_wsprintfA"},
       1,
       {"FastProc|", "GetDC|", "MessageBox|MessageBox", "MessageBoxA|MessageBox", "MessageBoxW|MessageBox",
        "wsprintfA|"}},
      {"one plain name makes the library x64",
       {u"GetDC", u"_GetDC@4", u"@FastProc@8"},
       0,
       {"GetDC|", "_FastProc@8|", "_GetDC@4|"}},
      {"a name listed twice gives one function", {u"_Beep@8", u"_Beep@8", u"Beep", u"Beep"}, 0, {"Beep|", "_Beep@8|"}},
      {"x86 names that become equal merge", {u"_Beep@8", u"_Beep@12", u"_Beep"}, 1, {"Beep|"}},
      {"A and W without generic get one", {u"FooA", u"FooW"}, 0, {"Foo|Foo", "FooA|Foo", "FooW|Foo"}},
      {"generic already present is kept once", {u"Foo", u"FooA", u"FooW"}, 0, {"Foo|Foo", "FooA|Foo", "FooW|Foo"}},
      {"A alone is not a pair", {u"FooA"}, 0, {"FooA|"}},
      {"W alone is not a pair", {u"FooW", u"Foo"}, 0, {"Foo|", "FooW|"}},
      {"pairing is case-sensitive", {u"Fooa", u"FooW"}, 0, {"FooW|", "Fooa|"}},
      {"nested pairs", {u"FooA", u"FooW", u"FooAA", u"FooAW"}, 0,
       {"Foo|Foo", "FooA|Foo", "FooAA|FooA", "FooAW|FooA", "FooW|Foo"}},
      {"one-letter names have no stem", {u"A", u"W"}, 0, {"A|", "W|"}},
      {"several @ keep the text before the first", {u"_a@b@4"}, 1, {"a|"}},
      {"'_' alone leaves no name", {u"_", u"_Beep@4"}, 1, {"Beep|"}},
      {"an empty name is no function and does not make the library x64", {u"", u"_Beep@4", u"\u0001\u001F"}, 1,
       {"Beep|"}},
      {"control characters go, in the middle too", {u"A\u0001B", u"C\r\nD", u"E\u0002F", u"G\u007F"}, 0,
       {"AB|", "CD|", "EF|", "G\x7F|"}},
      {"no names counts as x86", {}, 1, {}},
      {"an empty name among unsorted ones is no function", {u"b", u"", u"a"}, 0, {"a|", "b|"}},
      {"code-unit order", {u"lstrcatA", u"_lopen", u"ZwClose", u"Zw", u"\u00C9t\u00E9"}, 0,
       {"Zw|", "ZwClose|", "_lopen|", "lstrcatA|", "\xC3\x89t\xC3\xA9|"}},
      {"code-unit order beyond the first four units and above U+7FFF",
       {u"GetWindowTextW", u"GetW", u"Get\u20AC", u"GetWindowTextA", u"Get", u"Get\u00E9x", u"GetWindow", u"Ge"}, 0,
       {"Ge|", "Get|", "GetW|", "GetWindow|", "GetWindowText|GetWindowText", "GetWindowTextA|GetWindowText",
        "GetWindowTextW|GetWindowText", "Get\xC3\xA9x|", "Get\xE2\x82\xAC|"}},
      {"units from U+00FF up differ after the first of them", {u"x\u0101a", u"x\u0100b", u"x\u00FFc", u"x\u00FEd"}, 0,
       {"x\xC3\xBE" "d|", "x\xC3\xBF" "c|", "x\xC4\x80" "b|", "x\xC4\x81" "a|"}},
      {"pairs met in another order than their stems ('a@A' before 'aA', 'a' before 'a@')",
       {u"aA", u"aW", u"a@A", u"a@W"}, 0, {"a|a", "a@|a@", "a@A|a@", "a@W|a@", "aA|a", "aW|a"}},
  };
  for (const auto& c : cases) {
    int x86 = -1;
    EXPECT_EQ(Normalised(c.raw, &x86), c.expected) << c.name;
    EXPECT_EQ(x86, c.x86) << c.name;
  }
}

TEST(NormaliseLibraryNames, GrowsLinearlyWithoutLosingNames) {
  // Many pairs at once: every 'FnNA'/'FnNW' pair gains exactly one generic entry.
  std::vector<Text> raw;
  for (int i = 0; i < 5000; ++i) {
    const Text stem = u"_Fn" + T(std::to_string(i));
    raw.push_back(stem + u"A@4");
    raw.push_back(stem + u"W@4");
    raw.push_back(u"_Other" + T(std::to_string(i)) + u"@8");
  }
  const std::vector<std::string> rows = Normalised(raw);
  EXPECT_EQ(rows.size(), 20000u);
  EXPECT_NE(std::find(rows.begin(), rows.end(), "Fn4999|Fn4999"), rows.end());
  EXPECT_NE(std::find(rows.begin(), rows.end(), "Other0|"), rows.end());
}

}  // namespace
}  // namespace korvane
