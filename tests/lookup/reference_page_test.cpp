#include <gtest/gtest.h>

#include "lookup/reference_page.h"

namespace korvane {
namespace {

const Text kToc = u"<DIV class=\"toclevel1\">Functions</DIV>";

TEST(ExtractSection, MissingMarkersGiveEmptyText) {
  EXPECT_EQ(ExtractSection(u"<p>abc</p>", u"<div", u"</div>", SectionMode::PlainMode), u"");
  EXPECT_EQ(ExtractSection(u"<div>abc", u"<div", u"</div>", SectionMode::PlainMode), u"");
}

TEST(ExtractSection, DescriptionBlocks) {
  const struct {
    const char16_t* block;
    const char16_t* expected;
  } cases[] = {
      {u"<div class=\"clsServerSDKContent\"><P>Generates simple tones on the speaker. The function is "
       u"synchronous .</P><P>Second   paragraph.</P></div><h2>Syntax</h2>",
       u"Generates simple tones on the speaker. The function is synchronous. Second paragraph."},
      {u"<div class=\"clsServerSDKContent\"><DIV><DIV><P>[This function is obsolete.]</P><P>Copies a string "
       u".</P></DIV></DIV><h2>",
       u"Copies a string. Note: This function is obsolete.\r"},
      {u"<div class=\"clsServerSDKContent\"><P>[This function is obsolete.]</P><P>Copies a string .</P></DIV>"
       u"<h2>",
       u"[This function is obsolete.] Copies a string."},
      {u"<div class=\"clsServerSDKContent\"><P>A.</p><P>B.</P></div><h2>", u"A.B."},
      // A notice whose closing bracket is missing stays where it is, once.
      {u"<div class=\"clsServerSDKContent\"><DIV><DIV><P>[Obsolete. Copies a string.</P></DIV></DIV><h2>",
       u"Obsolete. Copies a string."},
      // A placeholder repeated before a later "{{...}}" takes nothing else with it.
      {u"<div class=\"clsServerSDKContent\">Keep ${a} this ${a} text {{b}} too<h2>", u"Keep this text too"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractSection(c.block, u"<div class=\"clsServerSDKContent\">", u"<h2>", SectionMode::NoticeMode),
              c.expected)
        << TextToUtf8(c.block);
  }
}

TEST(ParseReferencePage, Fields) {
  const Text beep =
      u"<div class=\"codeSnippetContainerCode\"><PRE>BOOL WINAPI Beep(\r\n  _In_&nbsp;DWORD dwFreq,\r\n  _In_ "
      u"DWORD dwDuration\r\n);</PRE></div>";
  EXPECT_EQ(ExtractSection(beep, u"<div class=\"codeSnippetContainerCode\"", u"</div>", SectionMode::PlainMode),
            u"BOOL WINAPI Beep( _In_ DWORD dwFreq, _In_ DWORD dwDuration);");
  const auto data = ParseReferencePage(kToc + beep, u"Beep", u"kernel32");
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(data->Return, u"BOOL");
  EXPECT_EQ(data->Parameters, u"_In_ DWORD dwFreq, _In_ DWORD dwDuration");
  EXPECT_EQ(data->Group, u"Kernel32 Functions");
  EXPECT_EQ(data->Description, u"This function is not implemented.");

  const auto foo = ParseReferencePage(
      kToc + u"<div class=\"codeSnippetContainerCode\">HRESULT WINAPI Foo(void);</div>", u"Foo", u"k");
  ASSERT_TRUE(foo.has_value());
  EXPECT_EQ(foo->Parameters, u"void");
  EXPECT_FALSE(ParseReferencePage(u"<div class=\"codeSnippetContainerCode\">X</div>", u"X", u"k").has_value());
  // The variable part of a variadic function stays: without it the declaration takes two arguments.
  const auto printf = ParseReferencePage(
      kToc + u"<div class=\"codeSnippetContainerCode\">int wsprintfW(LPWSTR, LPCWSTR, ...);</div>", u"wsprintfW", u"k");
  ASSERT_TRUE(printf.has_value());
  EXPECT_EQ(printf->Parameters, u"LPWSTR, LPCWSTR, ...");
}

TEST(ParseReferencePage, Siblings) {
  const Text page = kToc +
                    u"<DIV class=\"toclevel2\"><a href=\"https://h/en-us/library/ms679277(v=vs.85).aspx\">Beep "
                    u"(Windows)</a></DIV>"
                    u"<DIV class=\"toclevel2\"><a href=\"/en-us/library/rel.aspx\">Relative</a></DIV>"
                    u"<DIV class=\"toclevel2\"><a href=\"http://h/B\u00C9EP.aspx\">B\u00C9EP</a></DIV>";
  const auto data = ParseReferencePage(page, u"Beep", u"k");
  ASSERT_TRUE(data.has_value());
  const std::map<Text, Text> expected = {{u"beep", u"https://h/en-us/library/ms679277(v=vs.85).aspx"},
                                         {u"b\u00E9ep", u"http://h/B\u00C9EP.aspx"}};
  EXPECT_EQ(data->siblings, expected);
}

}  // namespace
}  // namespace korvane
