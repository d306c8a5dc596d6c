#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/batch_lookup.h"
#include "app/lookup_commands.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "helpers/archive_writer.h"
#include "helpers/headless_program.h"
#include "platform/clock.h"
#include "platform/headless/scripted_page_source.h"

namespace korvane {
namespace {

// The test clock, which also counts the time the batch worker sleeps once a stop has been requested:
// the worker polls without pause on it, so the time of the request cannot be read from outside.
class StopWatchClock final : public Clock {
 public:
  LocalTime Now() override { return {}; }
  std::int64_t MonotonicMilliseconds() override { return milliseconds_.load(); }
  void SleepMilliseconds(int milliseconds) override {
    milliseconds_ += milliseconds;
    if (stop != nullptr && stop->load()) sleptAfterStop += milliseconds;
  }
  const std::atomic<bool>* stop = nullptr;
  std::atomic<std::int64_t> sleptAfterStop{0};

 private:
  std::atomic<std::int64_t> milliseconds_{0};
};

// The program on the in-memory platform, with that clock.
struct Program : testing::HeadlessProgram {
  Program() : testing::HeadlessProgram({}, &clock) {}
  void Start() {
    testing::HeadlessProgram::Start();
    clock.stop = &session.lookup.stopRequested;
  }
  StopWatchClock clock;  // the base's platform holds it; it is only used once the program runs
};

const LookupEndpoints kBases{u"https://s", u"https://l"};

Text Search(const Text& name) {
  ApiFunction query;
  query.Function = name;
  return SearchAddress(kBases.searchBase, query, SearchQuery::First);
}
Text Reference(const Text& name) { return kBases.libraryBase + u"/en-us/library/" + name + u".aspx"; }

// A result page whose first result is the reference page of `title`.
Text SearchPageFor(const Text& title) {
  return u"<p class=\"resultTitleLink\" href=\"https://r/a/" + title + u".aspx\"><b>" + title + u" function</b> <B>" +
         title + u" function</B>";
}
Text ReferencePageFor(const Text& name) {
  return u"<DIV class=\"toclevel1\">Functions</DIV><div class=\"codeSnippetContainerCode\">BOOL WINAPI " + name +
         u"(int a);</div>";
}

// Rows of five.lib: Alpha Beta Foo FooA FooW Gamma ('FooA' and 'FooW' have AnsiUni 'Foo'); two.lib: Delta.
class LookupFlowTest : public ::testing::Test {
 protected:
  LookupFlowTest() {
    program.files.AddFile(u"C:\\Sdk\\five.lib", testing::MicrosoftLibrary({"Alpha", "Beta", "Gamma", "FooA", "FooW"}));
    program.files.AddFile(u"C:\\Sdk\\two.lib", testing::MicrosoftLibrary({"Delta"}));
    program.Start();
    program.gui.DropFiles(u"C:\\Sdk\\five.lib\nC:\\Sdk\\two.lib");
    program.Pump();
    program.session.lookup.source = &source;
    program.session.lookup.endpoints = kBases;
    for (const char16_t* name : {u"Alpha", u"Beta", u"Foo", u"Gamma", u"Delta"}) {
      source.SetPage(Search(name), SearchPageFor(name));
      source.SetPage(Reference(name), ReferencePageFor(name));
    }
  }
  ~LookupFlowTest() override { program.Pump(); }  // the close joins a batch still running

  LibraryEntry& Five() { return *program.session.catalogue.Find(u"five"); }

  // Presses "msdn Checked" and runs the loop until the batch has ended. Another thread plays the page
  // source: each time a load waits, `onLoad` runs with the number of loads seen so far.
  void RunBatch(const std::function<void(int)>& onLoad) {
    std::atomic<bool> finished{false};
    std::thread pages([&] {
      for (int loads = 0; !finished.load();) {
        if (source.Busy()) onLoad(loads++);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
    program.gui.SetCloseWhenIdle(false);
    program.gui.Click(kMsdnChecked);
    do {
      const Event event = program.gui.WaitEvent();
      const bool stop = event.control == kMsdnChecked && program.session.batchRunning.load();
      DispatchEvent(program.session, event);
      if (stop) stopButtonEnabled = program.gui.IsEnabled(kMsdnChecked);
    } while (program.session.batchRunning.load());
    finished = true;
    pages.join();
    program.gui.SetCloseWhenIdle(true);
    program.Pump();
  }
  void DeliverAll() { RunBatch([this](int) { source.Deliver(); }); }

  Program program;
  ScriptedPageSource source{PageLoadsToEventLoop(program.session)};
  bool stopButtonEnabled = true;
};

// Which functions a batch looks up, by the pages it loads.
TEST_F(LookupFlowTest, BatchLooksUpTheCheckedFunctionsOfTickedLibraries) {
  const struct {
    const char* name;
    bool skipFilled, secondLibraryTicked;
    std::vector<Text> loads;
    const char16_t* shownAfter;
  } cases[] = {
      // 'Alpha' has its Website: no search. 'Beta' has a return type: skipped. 'Gamma' is unchecked.
      // The lookup of 'Foo' fills 'FooA' and 'FooW', which are then skipped too.
      {"skip option on", true, false,
       {Reference(u"Alpha"), Search(u"Foo"), Reference(u"Foo")}, u"five"},
      // Now the three 'Foo' records have their Website from the first run.
      {"skip option off", false, true,
       {Reference(u"Alpha"), Search(u"Beta"), Reference(u"Beta"), Reference(u"Foo"), Reference(u"Foo"),
        Reference(u"Foo"), Search(u"Delta"), Reference(u"Delta")},
       u"two"},
  };
  for (const auto& c : cases) {
    program.gui.SetMenuChecked(kMenuSkipFilled, c.skipFilled);
    program.gui.SetRowState(kLibrariesList, 1, false, c.secondLibraryTicked);
    program.gui.ClickRow(kLibrariesList, 0);
    program.Pump();
    Five().functions[0].Website = Reference(u"Alpha");
    Five().functions[1].Return = u"BOOL";
    program.gui.SetRowState(kFunctionList, 5, false, false);  // 'Gamma', through the check-box hook
    const std::size_t before = source.Navigations().size();
    DeliverAll();
    const std::vector<Text> all = source.Navigations();
    EXPECT_EQ(std::vector<Text>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), c.loads) << c.name;
    EXPECT_EQ(program.session.catalogue.ShownKey(), c.shownAfter) << c.name;
    EXPECT_EQ(program.session.catalogue.shownLibraryRow, c.secondLibraryTicked ? 1 : 0) << c.name;
    EXPECT_EQ(program.gui.SelectedRow(kLibrariesList), c.secondLibraryTicked ? 1 : 0) << c.name;
    EXPECT_EQ(Five().functions[2].Return, u"BOOL") << c.name;
    EXPECT_EQ(Five().functions[3].Website, Reference(u"Foo")) << c.name;
    EXPECT_EQ(Five().functions[5].checked, 0) << c.name;
    // Back as before the batch, the status bar included.
    EXPECT_EQ(program.gui.GetText(kMsdnChecked), u"msdn Checked") << c.name;
    for (int control : {kMsdnChecked, kLoadLibs, kSaveXml, kOptionsButton, kLibrariesList}) {
      EXPECT_TRUE(program.gui.IsEnabled(control)) << c.name << " " << control;
    }
    EXPECT_FALSE(program.gui.IsEnabled(kMsdnSelected)) << c.name;
    EXPECT_TRUE(program.gui.HookAttached()) << c.name;
    EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), kReadyText) << c.name;
    EXPECT_EQ(program.gui.StatusProgress().first, 0) << c.name;
  }
}

TEST_F(LookupFlowTest, BatchShowsItsProgressWhileItRuns) {
  std::vector<std::string> messages;
  std::vector<std::pair<int, int>> bars;
  std::vector<int> scrolls;
  program.gui.SetVisible(kFunctionList, false);
  // The page thread may read the status bar here: the loop is waiting for the page, not writing.
  RunBatch([&](int) {
    messages.push_back(TextToUtf8(program.gui.GetStatusText(kStatusMessage)));
    bars.push_back(program.gui.StatusProgress());
    scrolls.push_back(program.gui.ScrolledTo(kFunctionList));
    source.Deliver();
  });
  // Alpha Beta Foo FooA FooW Gamma, then Delta: Foo fills FooA/FooW, whose Return is then set.
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages.front(), " Looking up Alpha (1 of 7)...");
  EXPECT_EQ(bars.front(), std::make_pair(0, 7));
  // Each row looked up is shown with five rows below it, as far as there are rows: 'Alpha' of six rows,
  // 'Delta', the only row of two.lib.
  EXPECT_EQ(scrolls.front(), 5);
  EXPECT_EQ(scrolls.back(), 0);
  EXPECT_EQ(program.gui.Focused(), kFunctionList);
  EXPECT_EQ(program.gui.Raised(), std::vector<int>{kFunctionList});
  EXPECT_TRUE(program.gui.IsVisible(kFunctionList));
  EXPECT_EQ(program.gui.GetStatusText(kStatusTime).size(), std::u16string(u" 00:00:00 / 00:00:00").size());
}

// A function the batch does not find loses its tick, in the record and in its row, as one found keeps it.
TEST_F(LookupFlowTest, TheRowsOfABatchShowTheTicksOfTheirRecords) {
  ApiFunction beta;
  beta.Function = u"Beta";
  for (const SearchQuery query :
       {SearchQuery::First, SearchQuery::WithoutSuffix, SearchQuery::Macro, SearchQuery::FunctionRetry}) {
    source.SetPage(SearchAddress(kBases.searchBase, beta, query), SearchPageFor(u"Other"));
  }
  program.gui.SetRowState(kLibrariesList, 1, false, false);  // five.lib alone: its rows stay shown
  DeliverAll();
  ASSERT_EQ(program.session.catalogue.ShownKey(), u"five");
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), kReadyText);
  EXPECT_EQ(Five().functions[1].checked, 0);
  EXPECT_EQ(Five().functions[0].checked, 1);
  for (std::size_t row = 0; row < Five().functions.size(); ++row) {
    EXPECT_EQ(program.gui.IsRowChecked(kFunctionList, static_cast<int>(row)), Five().functions[row].checked != 0)
        << row;
  }
}

// A batch faster than its display shows rows only at intervals (with this clock, which stands still,
// only at a library's first function): when it ends, the list is scrolled to the last function looked up.
TEST_F(LookupFlowTest, TheListEndsScrolledToTheLastFunctionLookedUp) {
  std::vector<std::string> names;
  for (int number = 10; number < 30; ++number) {
    names.push_back("Long" + std::to_string(number));
    const Text name = Utf8ToText(names.back());
    source.SetPage(Search(name), SearchPageFor(name));
    source.SetPage(Reference(name), ReferencePageFor(name));
  }
  program.files.AddFile(u"C:\\Sdk\\long.lib", testing::MicrosoftLibrary(names));
  program.gui.DropFiles(u"C:\\Sdk\\long.lib");
  program.Pump();
  ASSERT_EQ(program.gui.RowCount(kFunctionList), 20);
  std::vector<int> scrolls;
  RunBatch([&](int) {
    scrolls.push_back(program.gui.ScrolledTo(kFunctionList));
    source.Deliver();
  });
  ASSERT_EQ(scrolls.size(), 40u);  // a search and a reference page for each
  EXPECT_EQ(scrolls.back(), 5);  // Long10 with the five rows below it, not moved since
  EXPECT_EQ(program.gui.ScrolledTo(kFunctionList), 19);
}

// "Stop Update" while a page loads that never arrives: the button turns disabled at once, the running
// lookup is abandoned about five seconds later (by the test clock) with its retry markers cleared, and a
// page that arrives after that changes nothing.
TEST_F(LookupFlowTest, StopWhileAPageLoadsAbandonsTheLookupAfterTheGraceTime) {
  source.SetPage(Search(u"Alpha"), SearchPageFor(u"Other"));  // name test fails: the macro retry follows
  RunBatch([&](int load) {
    if (load == 0) source.Deliver();
    if (load == 1) program.gui.QueueEvent({kEventControl, kMainWindow, kMsdnChecked, kTypeClick, {}});
  });
  EXPECT_FALSE(stopButtonEnabled);
  // The counter passes 5000 after 334 polls, 333 of them slept; one more poll may come before the
  // request is seen.
  EXPECT_GE(program.clock.sleptAfterStop.load(), kStopGraceMilliseconds - kBatchPollMilliseconds);
  EXPECT_LE(program.clock.sleptAfterStop.load(), kStopGraceMilliseconds + kBatchPollMilliseconds);
  EXPECT_EQ(program.session.lookup.state.load(), LookupState::Idle);
  EXPECT_EQ(program.session.lookup.markers, RetryMarkers{});
  EXPECT_EQ(source.Navigations().size(), 2u);  // Alpha's first query and its macro retry, nothing after
  EXPECT_TRUE(program.gui.IsEnabled(kMsdnChecked));
  EXPECT_EQ(program.gui.GetText(kMsdnChecked), u"msdn Checked");

  source.Deliver();  // the late page
  program.Pump();
  EXPECT_EQ(source.Navigations().size(), 2u);
  EXPECT_EQ(Five().functions[0].checked, 1);
}

// A change of library fills the list in steps. Between two of them the user clicks a check box of the
// half-filled list and presses "Stop Update": the record keeps its mark (the hook stays detached), and
// the fill still ends whole, drawing frozen throughout and thawed at the end.
// Files dropped while a lookup runs would replace the catalogue under it: they are ignored, as the
// disabled "Load LIBs" is, and load again once the lookup has ended.
TEST_F(LookupFlowTest, FilesDroppedWhileALookupRunsAreIgnored) {
  program.files.AddFile(u"C:\\Sdk\\other.lib", testing::MicrosoftLibrary({"Omega"}));
  for (const UpdateMode running : {UpdateMode::BatchRunning, UpdateMode::SingleRunning}) {
    SetUpdateMode(program.session, running);
    program.gui.DropFiles(u"C:\\Sdk\\other.lib");
    program.Pump();
    EXPECT_EQ(program.session.catalogue.ShownKey(), u"five");
    EXPECT_EQ(program.session.catalogue.Find(u"other"), nullptr);
  }
  SetUpdateMode(program.session, UpdateMode::BatchEnded);
  program.gui.DropFiles(u"C:\\Sdk\\other.lib");
  program.Pump();
  EXPECT_EQ(program.session.catalogue.ShownKey(), u"other");
}

TEST_F(LookupFlowTest, AStopBetweenTheStepsOfALibraryChangeLeavesTheListWhole) {
  constexpr int kRows = static_cast<int>(2 * kBatchRowsPerStep + 10);
  std::vector<std::string> names;
  for (int i = 0; i < kRows; ++i) names.push_back("Wide" + std::to_string(1000 + i));
  program.files.AddFile(u"C:\\Sdk\\wide.lib", testing::MicrosoftLibrary(names));
  program.gui.DropFiles(u"C:\\Sdk\\five.lib\nC:\\Sdk\\two.lib\nC:\\Sdk\\wide.lib");
  program.Pump();
  ASSERT_EQ(program.session.catalogue.ShownKey(), u"five");
  program.gui.SetRowState(kLibrariesList, 0, false, false);  // only wide.lib (row 2) is ticked
  program.gui.SetRowState(kLibrariesList, 1, false, false);
  program.Pump();
  const LibraryEntry& wide = *program.session.catalogue.Find(u"wide");
  const int markBefore = wide.functions[1].checked;
  const int unfrozenBefore = program.gui.RowsAddedUnfrozen();
  int halfFilled = -1;
  bool frozenBetween = false;
  program.gui.SetBetweenInvokes([&] {
    const int rows = program.gui.RowCount(kFunctionList);
    if (halfFilled != -1 || program.session.catalogue.ShownKey() != u"wide" || rows < 2 || rows >= kRows) return;
    halfFilled = rows;
    frozenBetween = program.gui.FreezeDepth() > 0;
    program.gui.ClickCheckBox(kFunctionList, 1);
    MsdnCheckedPressed(program.session);  // "Stop Update"
  });
  DeliverAll();
  program.gui.SetBetweenInvokes({});

  EXPECT_NE(halfFilled, -1) << "no step left the list half filled";
  EXPECT_TRUE(frozenBetween);
  EXPECT_EQ(wide.functions[1].checked, markBefore);
  ASSERT_EQ(program.gui.RowCount(kFunctionList), kRows);
  for (int row = 0; row < kRows; ++row) {
    const ApiFunction& record = wide.functions[static_cast<std::size_t>(row)];
    const RowTexts texts = RowText(record);
    for (int column = 0; column < 6; ++column) {
      ASSERT_EQ(program.gui.RowText(kFunctionList, row, column), texts[static_cast<std::size_t>(column)]) << row;
    }
    if (row != 1) {
      ASSERT_EQ(program.gui.IsRowChecked(kFunctionList, row), record.checked != 0) << row;
    }
  }
  EXPECT_EQ(program.gui.FreezeDepth(), 0);
  EXPECT_EQ(program.gui.RowsAddedUnfrozen(), unfrozenBefore);
  EXPECT_TRUE(program.gui.HookAttached());
  EXPECT_EQ(program.session.catalogue.shownLibraryRow, 2);
  EXPECT_EQ(program.gui.SelectedRow(kLibrariesList), 2);
  EXPECT_FALSE(program.gui.IsVisible(kDetailPanel));
  EXPECT_TRUE(source.Navigations().empty());  // stopped before its first lookup
  EXPECT_EQ(program.gui.GetText(kMsdnChecked), u"msdn Checked");
}

TEST_F(LookupFlowTest, APageThatFailsStopsTheBatchAndLeavesTheRecordAlone) {
  source.SetFailure(Search(u"Alpha"), u"HTTP 500");
  DeliverAll();
  EXPECT_EQ(source.Navigations(), std::vector<Text>{Search(u"Alpha")});
  EXPECT_EQ(Five().functions[0].checked, 1);
  EXPECT_TRUE(Five().functions[0].Website.empty());
  EXPECT_TRUE(program.gui.IsRowChecked(kFunctionList, 0));
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), u" Load failed: " + Search(u"Alpha") + u" (HTTP 500)");
  EXPECT_EQ(program.gui.GetText(kMsdnChecked), u"msdn Checked");
}

// While a batch runs, a selected row shows no editor, does not enable "msdn Selected" and asks for no
// new layout (the batch's own selection moves from row to row).
TEST_F(LookupFlowTest, SelectingDuringABatchShowsNoEditor) {
  program.session.batchRunning = true;
  program.gui.ClickRow(kFunctionList, 2);
  const Event event = program.gui.WaitEvent();
  ASSERT_EQ(event.control, kFunctionList);
  DispatchEvent(program.session, event);
  EXPECT_FALSE(program.gui.IsVisible(kDetailPanel));
  EXPECT_FALSE(program.gui.IsEnabled(kMsdnSelected));
  EXPECT_TRUE(program.gui.PendingEvents().empty());
  program.session.batchRunning = false;
}

TEST_F(LookupFlowTest, SingleLookupFillsTheRowAndTheEditor) {
  program.gui.Click(kMsdnSelected);  // no row selected: nothing
  program.Pump();
  EXPECT_TRUE(source.Navigations().empty());
  EXPECT_TRUE(program.gui.IsEnabled(kLoadLibs));

  program.gui.ClickRow(kFunctionList, 1);  // 'Beta'
  program.Pump();
  program.gui.Click(kMsdnSelected);
  program.Pump();
  EXPECT_FALSE(program.gui.IsEnabled(kMsdnChecked));
  EXPECT_FALSE(program.gui.IsEnabled(kLoadLibs));
  while (source.Deliver()) program.Pump();
  EXPECT_EQ(source.Navigations(), (std::vector<Text>{Search(u"Beta"), Reference(u"Beta")}));
  EXPECT_EQ(program.gui.RowText(kFunctionList, 1, 2), u"BOOL");
  EXPECT_EQ(program.gui.GetText(kDetailReturn), u"BOOL");
  EXPECT_TRUE(program.gui.IsVisible(kDetailPanel));
  for (int control : {kMsdnChecked, kMsdnSelected, kLoadLibs, kSaveXml}) {
    EXPECT_TRUE(program.gui.IsEnabled(control)) << control;
  }

  // A double click searches the configured documentation for the function's own name.
  program.gui.ClickRow(kFunctionList, 3);  // 'FooA', AnsiUni 'Foo'
  program.gui.Click(kFunctionList, kTypeDoubleClick);
  program.Pump();
  EXPECT_EQ(program.shell.Opened(), std::vector<Text>{Search(u"FooA")});
}

}  // namespace
}  // namespace korvane
