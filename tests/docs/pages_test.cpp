#include <gtest/gtest.h>

#include <map>

#include "docs/pages.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

// The first result of a search page, read as the lookup reads it: everything up to the result marker's
// closing quote cut away, the address up to the next quote, the word three characters after '">' and
// the first word after the first "<B>".
struct SearchReading {
  Text address;
  Text linkWord;
  Text titleWord;  // lower case
};

SearchReading ReadSearchPage(const Text& page) {
  const std::size_t k = Find(page, u"class=\"resultTitleLink\" href=\"") + 29;
  const Text rest = RemoveAll(page, Left(page, k));
  const auto after = [&](TextView marker, std::size_t skip) {
    return FirstField(TextFromTo(rest, static_cast<std::ptrdiff_t>(Find(rest, marker) + skip),
                                 static_cast<std::ptrdiff_t>(rest.size() + 1)),
                      u" ");
  };
  return {FirstField(rest, u"\""), after(u"\">", 5), LowerCase(after(u"<B>", 3))};
}

// The text between a start marker (case-insensitive) and the next end marker, without tags, line ends
// and repeated blanks.
Text Block(const Text& page, TextView start, TextView end, TextView paragraphEnd = u"") {
  const std::size_t s = FindNoCase(page, start);
  if (s == 0) return {};
  Text text = TextFromTo(page, static_cast<std::ptrdiff_t>(s), static_cast<std::ptrdiff_t>(FindNoCase(page, end, static_cast<std::ptrdiff_t>(s))));
  if (!paragraphEnd.empty()) text = ReplaceAll(text, paragraphEnd, u" ");
  while (Find(text, u"<") != 0) {
    const std::size_t a = Find(text, u"<");
    text = TextFromTo(text, 1, static_cast<std::ptrdiff_t>(a)) + TextFromTo(text, static_cast<std::ptrdiff_t>(Find(text, u">", static_cast<std::ptrdiff_t>(a)) + 1), static_cast<std::ptrdiff_t>(text.size() + 1));
  }
  text = RemoveAll(RemoveAll(text, u"\r"), u"\n");
  while (Find(text, u"  ") != 0) text = ReplaceAll(text, u"  ", u" ");
  return Trim(text);
}

struct ReferenceReading {
  Text returnWord;
  Text parameters;
  Text description;
  Text group;
  std::map<Text, Text> members;  // text of each toclevel2 entry to its address
};

ReferenceReading ReadReferencePage(const Text& page) {
  ReferenceReading reading;
  const Text syntax = Block(page, u"<div class=\"codeSnippetContainerCode\"", u"</div>");
  reading.returnWord = FirstField(syntax, u" ");
  reading.parameters = Trim(FirstField(SecondField(syntax + u"(", u"("), u");"));
  if (Find(syntax, u"(") != 0) reading.parameters = Trim(FirstField(TextFromTo(syntax, static_cast<std::ptrdiff_t>(Find(syntax, u"(") + 1), static_cast<std::ptrdiff_t>(syntax.size() + 1)), u");"));
  reading.description = Block(page, u"<div class=\"clsServerSDKContent\">", u"<h2>", u"</P>");
  reading.group = Block(page, u"<DIV class=\"toclevel1", u"</DIV>");
  for (std::size_t a = Find(page, u"<DIV class=\"toclevel2"); a != 0; a = Find(page, u"<DIV class=\"toclevel2", static_cast<std::ptrdiff_t>(a + 1))) {
    const Text entry = TextFromTo(page, static_cast<std::ptrdiff_t>(a), static_cast<std::ptrdiff_t>(Find(page, u"</DIV>", static_cast<std::ptrdiff_t>(a))));
    reading.members[Block(entry + u"</DIV>", u"<DIV", u"</DIV>")] = FirstField(SecondField(entry, u"href=\""), u"\"");
  }
  return reading;
}

DocumentationSet SmallSet() {
  DocumentationSet set;
  set.groups.push_back(DocGroup{u"Dialog Boxes",
                                {{u"MessageBoxA", u"int", {u"_In_opt_ HWND hWnd", u"_In_opt_ LPCSTR lpText"}, "Shows a box.", u"winuser.h", u"User32"},
                                 {u"MessageBoxW", u"int", {u"_In_opt_ HWND hWnd", u"_In_opt_ LPCWSTR lpText"},
                                  "Displays a modal dialog box.\nSecond   paragraph with x < 5 & y > 2.", u"winuser.h", u"User32"}}});
  set.groups.push_back(DocGroup{u"sysinfoapi.h",
                                {{u"GetTickCount", u"DWORD", {}, {}, u"sysinfoapi.h", {}},
                                 {u"GetAnsiOnlyA", u"void *", {u"int"}, "Only the ANSI form.", u"x.h", {}},
                                 {u"Odd$Name", u"BOOL", {u"POINT pt"}, "Odd.", u"x.h", {}}}});
  IndexDocumentationSet(set);
  return set;
}

Text Search(TextView name, TextView suffix = u"%20function%20%28Windows%29%22&refinement=117") {
  return u"https://search.example/search/en-us?query=%22" + Text(name) + Text(suffix);
}

TEST(PagesTest, SearchPagesNameTheFunctionItsWideOrAnsiFormOrNothing) {
  const DocumentationSet set = SmallSet();
  const struct {
    Text address;
    Text expectedTitle;  // empty: no result
  } kCases[] = {
      {Search(u"MessageBoxA"), u"messageboxa"},
      {Search(u"MessageBox"), u"messagebox"},
      {Search(u"GetAnsiOnly"), u"getansionlya"},
      {Search(u"GetTickCount", u"%20macro%22&refinement=117"), u"gettickcount"},
      {Search(u"GetTickCount", u"%20function%22&refinement=117"), u"gettickcount"},
      {Search(u"gettickcount"), u""},  // names are exact
      {Search(u"Nothing"), u""},
      {Search(u""), u""},
  };
  for (const auto& c : kCases) {
    const auto page = AnswerAddress(set, c.address);
    ASSERT_TRUE(page.has_value()) << TextToUtf8(c.address);
    const SearchReading reading = ReadSearchPage(*page);
    if (c.expectedTitle.empty()) {
      // The lookup's name test can pass no name, and its link test fails even after the retry that
      // takes the first result untested.
      EXPECT_NE(reading.titleWord.find(u'<'), Text::npos) << TextToUtf8(c.address);
      EXPECT_NE(LowerCase(reading.linkWord), reading.titleWord) << TextToUtf8(c.address);
      EXPECT_EQ(Find(*page, u"toclevel"), 0u);
      continue;
    }
    EXPECT_EQ(reading.titleWord, c.expectedTitle) << TextToUtf8(c.address);
    EXPECT_EQ(LowerCase(reading.linkWord), c.expectedTitle) << TextToUtf8(c.address);
    // The result's address leads to the function's reference page, whatever base the lookup puts first.
    const Text segment = reading.address.substr(reading.address.rfind(u'/') + 1);
    const auto reference = AnswerAddress(set, u"https://other.example/en-us/library/" + segment);
    ASSERT_TRUE(reference.has_value());
    EXPECT_EQ(LowerCase(Block(*reference, u"<H1>", u"</H1>")), c.expectedTitle + u" function");
  }
}

// A reference page's table of contents carries the group's title and no members: offline every member
// gets its own lookup, and a listed member would have its address spread to it (a wide function
// without an "A" twin would then be led to its ANSI neighbour's page).
TEST(PagesTest, ReferencePagesCarrySyntaxDescriptionAndGroupButNoMembers) {
  const DocumentationSet set = SmallSet();
  const Text base = u"https://docs.example";
  const struct {
    Text name;
    Text returnWord;
    Text parameters;
    Text description;
    Text group;
  } kCases[] = {
      {u"MessageBoxW", u"int", u"_In_opt_ HWND hWnd, _In_opt_ LPCWSTR lpText",
       u"Displays a modal dialog box. Second paragraph with x \u2039 5 & y > 2.", u"Dialog Boxes"},
      {u"MessageBox", u"int", u"_In_opt_ HWND hWnd, _In_opt_ LPCTSTR lpText",
       u"Displays a modal dialog box. Second paragraph with x \u2039 5 & y > 2.", u"Dialog Boxes"},
      {u"GetTickCount", u"DWORD", u"void", u"Declared in sysinfoapi.h.", u"sysinfoapi.h"},
      {u"GetAnsiOnlyA", u"void*", u"int", u"Only the ANSI form.", u"sysinfoapi.h"},
      {u"Odd$Name", u"BOOL", u"POINT pt", u"Odd.", u"sysinfoapi.h"},
  };
  for (const auto& c : kCases) {
    const auto page = AnswerAddress(set, base + u"/en-us/library/" + ReferenceSegment(c.name));
    ASSERT_TRUE(page.has_value()) << TextToUtf8(c.name);
    const ReferenceReading reading = ReadReferencePage(*page);
    EXPECT_EQ(reading.returnWord, c.returnWord) << TextToUtf8(c.name);
    EXPECT_EQ(reading.parameters, c.parameters) << TextToUtf8(c.name);
    EXPECT_EQ(reading.description, c.description) << TextToUtf8(c.name);
    EXPECT_EQ(reading.group, c.group) << TextToUtf8(c.name);
    EXPECT_TRUE(reading.members.empty()) << TextToUtf8(c.name);
  }
}

TEST(PagesTest, SegmentsAreUniqueAddressSafeAndStable) {
  EXPECT_EQ(ReferenceSegment(u"MessageBoxW"), u"MessageBoxW.aspx");
  EXPECT_EQ(ReferenceSegment(u"Odd$Name/\"x"), u"Odd%24Name%2F%22x.aspx");
  EXPECT_NE(ReferenceSegment(u"GetFoo"), ReferenceSegment(u"getfoo"));
}

TEST(PagesTest, AddressesTheSetCannotAnswer) {
  const DocumentationSet set = SmallSet();
  for (const Text& address : {Text(u"https://d/en-us/library/Unknown.aspx"), Text(u"https://d/en-us/library/MessageBoxW"),
                             Text(u"https://d/en-us/library/"), Text(u"/en-us/library/MessageBoxW.aspx%")}) {
    const auto page = AnswerAddress(set, address);
    ASSERT_TRUE(page.has_value()) << TextToUtf8(address);
    EXPECT_EQ(*page, NotFoundPage()) << TextToUtf8(address);
  }
  EXPECT_FALSE(AnswerAddress(set, u"about:blank").has_value());
  EXPECT_FALSE(AnswerAddress(DocumentationSet{}, u"https://d/donate").has_value());
  EXPECT_EQ(AnswerAddress(DocumentationSet{}, Search(u"MessageBox")), NotFoundPage());
}

}  // namespace
}  // namespace korvane
