#include <gtest/gtest.h>

#include "lookup/lookup_machine.h"

namespace korvane {
namespace {

const LookupEndpoints kEndpoints{u"https://s", u"https://l"};

ApiFunction Record(Text function, Text ansiUni = {}, int checked = 1) {
  ApiFunction r;
  r.Function = std::move(function);
  r.AnsiUni = std::move(ansiUni);
  r.checked = checked;
  return r;
}

// A search result page whose first result links to `address` with the bold title word `title`.
LoadedPage SearchPage(const Text& address, const Text& title, const Text& link) {
  return {false, u"<html class=\"resultTitleLink\" href=\"" + address + u"\">" + u"<b>" + link +
                     u" function</b> x <B>" + title + u" function</B>", {}, {}};
}

LoadedPage Page(Text text) { return {false, std::move(text), {}, {}}; }

TEST(LookupMachine, FirstStepAndQueries) {
  LibraryEntry entry;
  entry.functions = {Record(u"MessageBoxW", u"MessageBox"), Record(u"Beep")};
  entry.functions[1].Website = u"https://l/en-us/library/beep.aspx";
  const LookupStart wide = StartLookup(entry, 0, kEndpoints);
  EXPECT_EQ(wide.progress.state, LookupState::AwaitSearchPage);
  EXPECT_EQ(wide.address,
            u"https://s/search/en-us?query=%22MessageBox%20function%20%28Windows%29%22&refinement=117");
  const LookupStart known = StartLookup(entry, 1, kEndpoints);
  EXPECT_EQ(known.progress.state, LookupState::AwaitReferencePage);
  EXPECT_EQ(known.address, entry.functions[1].Website);
  EXPECT_EQ(ReferenceAddress(u"https://l", u"https://x/y/ms679277(v=vs.85).aspx"),
            u"https://l/en-us/library/ms679277(v=vs.85).aspx");
}

TEST(LookupMachine, NameTestAcceptsTheStemAndLinkTestSetsWebsite) {
  LibraryEntry entry;
  entry.functions = {Record(u"MessageBoxW", u"MessageBox")};
  const LookupOutcome out = LookupStep({LookupState::AwaitSearchPage, {}},
                                       SearchPage(u"https://r/a/ms1.aspx", u"MessageBox", u"MessageBox"), entry,
                                       u"user32", 0, false, kEndpoints);
  EXPECT_EQ(out.progress.state, LookupState::AwaitReferencePage);
  EXPECT_EQ(out.navigate, u"https://l/en-us/library/ms1.aspx");
  EXPECT_EQ(entry.functions[0].Website, out.navigate);
}

// The retries in order, each name test failing. After the retry without suffix the first result is
// taken without the name test (here its link test fails: only the record is unchecked); after the last
// of the other retries the function and its relatives are marked not found. Markers end clear.
TEST(LookupMachine, RetryOrders) {
  const struct {
    const char16_t* function;
    std::vector<const char16_t*> queries;
    int relativeChecked;
  } cases[] = {
      {u"GetFooA", {u"GetFoo%20function%20%28Windows%29%22"}, 1},
      {u"GetFoo", {u"GetFoo%20macro%22", u"GetFoo%20function%22"}, 0},
      // A name that only looks like a form of a pair: GetFooI is no form of GetFoo.
      {u"GetFooI", {u"GetFooI%20macro%22", u"GetFooI%20function%22"}, 1},
  };
  for (const auto& c : cases) {
    LibraryEntry entry;
    entry.functions = {Record(c.function), Record(u"GetFooW", u"GetFoo"), Record(u"Other")};
    LookupProgress progress{LookupState::AwaitSearchPage, {}};
    for (const char16_t* query : c.queries) {
      const LookupOutcome out = LookupStep(progress, SearchPage(u"u", u"nomatch", u"nomatch"), entry, u"k", 0,
                                           true, kEndpoints);
      ASSERT_EQ(out.progress.state, LookupState::AwaitSearchPage);
      EXPECT_EQ(out.navigate, u"https://s/search/en-us?query=%22" + Text(query) + u"&refinement=117");
      progress = out.progress;
    }
    const LookupOutcome last =
        LookupStep(progress, SearchPage(u"u", u"nomatch", u"other"), entry, u"k", 0, true, kEndpoints);
    EXPECT_TRUE(last.ended());
    EXPECT_EQ(last.progress.markers, RetryMarkers{});
    EXPECT_EQ(entry.functions[0].checked, 0);
    EXPECT_EQ(entry.functions[1].checked, c.relativeChecked) << TextToUtf8(c.function);
    EXPECT_EQ(entry.functions[2].checked, 1);
  }
}

TEST(LookupMachine, AfterRetryWithoutSuffixOnlyTheLinkTestApplies) {
  LibraryEntry entry;
  entry.functions = {Record(u"GetFooA")};
  RetryMarkers tried;
  tried.triedWithoutSuffix = true;
  const LookupOutcome accepted = LookupStep({LookupState::AwaitSearchPage, tried},
                                            SearchPage(u"a/b.aspx", u"other", u"Other"), entry, u"k", 0, true,
                                            kEndpoints);
  EXPECT_EQ(accepted.progress.state, LookupState::AwaitReferencePage);
  const LookupOutcome rejected = LookupStep({LookupState::AwaitSearchPage, tried},
                                            SearchPage(u"a/b.aspx", u"other", u"Else"), entry, u"k", 0, true,
                                            kEndpoints);
  EXPECT_TRUE(rejected.ended());
  EXPECT_EQ(rejected.progress.markers, RetryMarkers{});
  EXPECT_EQ(entry.functions[0].checked, 0);
}

TEST(LookupMachine, ReferencePageFillsRecordRelativesAndSiblings) {
  LibraryEntry entry;
  entry.functions = {Record(u"Beep"), Record(u"Foo"), Record(u"GetA", u"Get"), Record(u"Get", u"Get"),
                     Record(u"GetW", u"Get"), Record(u"Unrelated")};
  const Text page =
      u"<DIV class=\"toclevel1\">Sound</DIV>"
      u"<DIV class=\"toclevel2\"><a href=\"https://h/foo.aspx\">Foo</a></DIV>"
      u"<div class=\"codeSnippetContainerCode\">UINT WINAPI GetW(void);</div>";
  RetryMarkers tried;
  tried.triedMacro = true;
  const LookupOutcome out =
      LookupStep({LookupState::AwaitReferencePage, tried}, Page(page), entry, u"k", 4, false, kEndpoints);
  EXPECT_TRUE(out.ended());
  EXPECT_EQ(out.progress.markers, RetryMarkers{});
  for (const std::size_t i : {2u, 3u, 4u}) {
    EXPECT_EQ(entry.functions[i].Return, u"UINT") << i;
    EXPECT_EQ(entry.functions[i].Parameters, u"") << i;
    EXPECT_EQ(entry.functions[i].Group, u"Sound") << i;
  }
  EXPECT_EQ(entry.functions[1].Group, u"Sound");
  EXPECT_EQ(entry.functions[1].Website, u"https://h/foo.aspx");
  EXPECT_EQ(entry.functions[5].Group, u"");
  ASSERT_GE(out.effects.size(), 2u);
  EXPECT_EQ(out.effects[out.effects.size() - 2].kind, RowEffect::Kind::ShowInEditor);
  EXPECT_EQ(out.effects.back().kind, RowEffect::Kind::SelectAndSetCheck);
  EXPECT_TRUE(out.effects.back().checked);
}

// Facts spread to other functions fill only their empty fields: what a record of another name holds
// (typed by the user, or found by its own lookup) stays. A second record of the looked-up name is the
// same function and takes the facts whole.
TEST(LookupMachine, SpreadFillsOnlyEmptyFieldsOfOtherFunctions) {
  LibraryEntry entry;
  entry.functions = {Record(u"AbortDoc"), Record(u"Foo"), Record(u"GetA", u"Get"), Record(u"GetW", u"Get"),
                     Record(u"GetW", u"Get")};
  entry.functions[0].Group = u"Mine";
  entry.functions[0].Website = u"https://mine";
  entry.functions[1].Website = u"https://foo-own";
  entry.functions[2].Return = u"BOOL";
  entry.functions[2].Description = u"Kept";
  entry.functions[3].Website = u"https://h/getw.aspx";
  entry.functions[4].Return = u"LONG";
  entry.functions[4].Group = u"Old";
  entry.functions[4].Website = u"https://old";
  const Text page =
      u"<DIV class=\"toclevel1\">Printing</DIV>"
      u"<DIV class=\"toclevel2\"><a href=\"https://h/abortdoc.aspx\">AbortDoc</a></DIV>"
      u"<DIV class=\"toclevel2\"><a href=\"https://h/foo.aspx\">Foo</a></DIV>"
      u"<DIV class=\"toclevel2\"><a href=\"https://h/getw.aspx\">GetW</a></DIV>"
      u"<div class=\"codeSnippetContainerCode\">UINT WINAPI GetW(int n);</div>";
  LookupStep({LookupState::AwaitReferencePage, {}}, Page(page), entry, u"k", 3, true, kEndpoints);
  const struct {
    std::size_t row;
    Text ApiFunction::*field;
    const char16_t* want;
  } expected[] = {
      {0, &ApiFunction::Group, u"Mine"},     {0, &ApiFunction::Website, u"https://mine"},
      {1, &ApiFunction::Group, u"Printing"}, {1, &ApiFunction::Website, u"https://foo-own"},
      {2, &ApiFunction::Return, u"BOOL"},    {2, &ApiFunction::Description, u"Kept"},
      {2, &ApiFunction::Parameters, u"int n"}, {2, &ApiFunction::Group, u"Printing"},
      {2, &ApiFunction::Website, u"https://h/getw.aspx"},
      {3, &ApiFunction::Return, u"UINT"},    {3, &ApiFunction::Group, u"Printing"},
      {4, &ApiFunction::Return, u"UINT"},    {4, &ApiFunction::Group, u"Printing"},
      {4, &ApiFunction::Website, u"https://h/getw.aspx"},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(TextToUtf8(entry.functions[e.row].*e.field), TextToUtf8(e.want)) << "row " << e.row;
  }
  EXPECT_EQ(entry.functions[2].checked, 1);
}

TEST(LookupMachine, ReferencePageWithoutSyntaxUnchecks) {
  LibraryEntry entry;
  entry.functions = {Record(u"Beep")};
  const LookupOutcome out = LookupStep({LookupState::AwaitReferencePage, {}},
                                       Page(u"<div class=\"toclevel1\">x</div>"), entry, u"k", 0, true, kEndpoints);
  EXPECT_EQ(entry.functions[0].checked, 0);
  ASSERT_EQ(out.effects.size(), 2u);
  EXPECT_EQ(out.effects[1].kind, RowEffect::Kind::SelectAndUncheck);
}

TEST(LookupMachine, LoadFailureEndsWithoutTouchingTheRecord) {
  LibraryEntry entry;
  entry.functions = {Record(u"Beep")};
  for (const LookupState state : {LookupState::AwaitSearchPage, LookupState::AwaitReferencePage}) {
    const LookupOutcome out = LookupStep({state, {true, true, false}}, {true, {}, u"https://s/q", u"HTTP 500"},
                                         entry, u"k", 0, false, kEndpoints);
    EXPECT_TRUE(out.ended());
    EXPECT_EQ(out.progress.markers, RetryMarkers{});
    ASSERT_TRUE(out.failure.has_value());
    EXPECT_EQ(out.failure->reason, u"HTTP 500");
    EXPECT_TRUE(out.effects.empty());
    EXPECT_EQ(entry.functions[0].checked, 1);
  }
}

TEST(LookupMachine, BatchSelection) {
  LibraryEntry entry;
  entry.functions = {Record(u"A", {}, 0), Record(u"B"), Record(u"C")};
  entry.functions[1].Return = u"BOOL";
  EXPECT_EQ(NextBatchRecord(entry, 0, true), std::optional<std::size_t>(2));
  EXPECT_EQ(NextBatchRecord(entry, 0, false), std::optional<std::size_t>(1));
  EXPECT_EQ(NextBatchRecord(entry, 3, false), std::nullopt);
}

}  // namespace
}  // namespace korvane
