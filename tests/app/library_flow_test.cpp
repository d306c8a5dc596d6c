#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/archive_writer.h"
#include "app/library_commands.h"
#include "app/program_numbers.h"
#include "helpers/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;
using testing::MicrosoftLibrary;

class LibraryFlowTest : public ::testing::Test {
 protected:
  LibraryFlowTest() {
    program.files.AddFile(u"C:\\Sdk\\user32.lib", MicrosoftLibrary({"_MessageBoxA@16", "_MessageBoxW@16", "_GetDC@4"}));
    program.files.AddFile(u"C:\\Sdk\\gdi32.lib", MicrosoftLibrary({"Arc", "BitBlt"}));
    program.files.AddFile(u"D:\\Other\\A.lib", MicrosoftLibrary({"Alpha"}));
    program.files.AddFile(u"D:\\Other\\b.lib", MicrosoftLibrary({"Beta", "Gamma"}));
    program.files.AddFile(u"D:\\Other\\notes.lib", "just text");
    program.Start();
  }

  std::vector<std::string> Rows(int list) {
    std::vector<std::string> rows;
    for (int row = 0; row < program.gui.RowCount(list); ++row) {
      rows.push_back(TextToUtf8(program.gui.RowText(list, row, 0)) + (program.gui.IsRowChecked(list, row) ? "+" : "-"));
    }
    return rows;
  }

  std::string SettingsText() { return program.files.Contents(u"C:\\Work\\Korvane.ini"); }

  HeadlessProgram program;
};

TEST_F(LibraryFlowTest, LoadingThreeLibrariesShowsTheFirstAndListsAll) {
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib", u"C:\\Sdk\\gdi32.lib", u"D:\\Other\\b.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();

  ASSERT_EQ(program.dialogs.Requests().size(), 1u);
  EXPECT_EQ(program.dialogs.Requests()[0].title, u"Open LIB");
  EXPECT_EQ(program.dialogs.Requests()[0].filter,
            u"lib (*.lib)|*.lib|GNU import libraries (*.a)|*.a|All files (*.*)|*.*");
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"GetDC+", "MessageBox+", "MessageBoxA+", "MessageBoxW+"}));
  EXPECT_EQ(Rows(kLibrariesList), (std::vector<std::string>{"user32.lib+", "gdi32.lib+", "b.lib+"}));
  EXPECT_EQ(program.gui.SelectedRow(kLibrariesList), 0);
  EXPECT_TRUE(program.gui.IsVisible(kLibrariesList));
  EXPECT_EQ(program.gui.GetStatusText(kStatusCount), u" 4 Functions");
  EXPECT_EQ(program.gui.GetText(kLibraryPath), u"C:\\Sdk\\user32.lib");
  EXPECT_EQ(program.gui.GetText(kArchitecture), u"x86");  // the shown library's, not the last one read (x64)
  for (int control : {kOptionsButton, kMsdnChecked, kMergeXml, kSaveXml, kExportPb, kCheckAll, kCheckFilled}) {
    EXPECT_TRUE(program.gui.IsEnabled(control)) << control;
  }
  EXPECT_FALSE(program.gui.IsEnabled(kMsdnSelected));
  EXPECT_EQ(program.gui.FreezeDepth(), 0);
  EXPECT_TRUE(program.gui.HookAttached());
  EXPECT_NE(SettingsText().find("LibDir = C:\\Sdk\\\r\n"), std::string::npos) << SettingsText();
  // The Libraries list stands beside the function list after the queued layout.
  EXPECT_EQ(program.gui.GetRect(kFunctionList).width, 890 - 166);
}

TEST_F(LibraryFlowTest, DroppedFilesLoadInCaseInsensitiveOrder) {
  program.gui.DropFiles(u"D:\\Other\\b.lib\nD:\\Other\\A.lib");
  program.Pump();
  EXPECT_EQ(Rows(kLibrariesList), (std::vector<std::string>{"A.lib+", "b.lib+"}));
  EXPECT_EQ(Rows(kFunctionList), std::vector<std::string>{"Alpha+"});
  EXPECT_NE(SettingsText().find("LibDir = D:\\Other\\\r\n"), std::string::npos);
  EXPECT_TRUE(program.dialogs.Requests().empty());
}

TEST_F(LibraryFlowTest, AFileThatGivesNothingKeepsTheCatalogueAndQueuesNoMerge) {
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  LoadLibraries(program.session, u"D:\\Other\\notes.lib\nD:\\Other\\gone.lib");
  EXPECT_NE(program.session.catalogue.Find(u"user32"), nullptr);
  EXPECT_EQ(program.gui.RowCount(kFunctionList), 4);
  // A merge would rewrite the kept records from the master merge file.
  EXPECT_TRUE(program.gui.PendingEvents().empty());
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), u" 2 files skipped, the first gone.lib: missing");
}

TEST_F(LibraryFlowTest, ASecondFileCanBecomeTheFirstLibrary) {
  program.dialogs.AnswerOpenFiles({u"D:\\Other\\notes.lib", u"D:\\Other\\b.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"Beta+", "Gamma+"}));
  EXPECT_EQ(Rows(kLibrariesList), std::vector<std::string>{"b.lib+"});
  EXPECT_FALSE(program.gui.IsVisible(kLibrariesList));
  EXPECT_EQ(program.gui.GetText(kLibraryPath), u"D:\\Other\\b.lib");
}

TEST_F(LibraryFlowTest, CancellingTheRequesterChangesNothing) {
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\gdi32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  const std::string settings = SettingsText();
  program.gui.Click(kLoadLibs);  // no answer scripted: cancelled
  program.Pump();
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"Arc+", "BitBlt+"}));
  EXPECT_EQ(SettingsText(), settings);
  EXPECT_EQ(program.dialogs.Requests().size(), 2u);
}

TEST_F(LibraryFlowTest, SwitchingLibrariesShowsTheirFunctionsAndKeepsTheMarks) {
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib", u"C:\\Sdk\\gdi32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  program.gui.ClickCheckBox(kFunctionList, 1);  // untick 'MessageBox'
  EXPECT_EQ(program.session.catalogue.Find(u"user32")->functions[1].checked, 0);

  program.gui.ClickRow(kLibrariesList, 1);
  program.Pump();
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"Arc+", "BitBlt+"}));
  EXPECT_EQ(program.gui.GetText(kLibraryPath), u"C:\\Sdk\\gdi32.lib");
  EXPECT_EQ(program.gui.GetStatusText(kStatusCount), u" 2 Functions");
  EXPECT_EQ(program.session.catalogue.shownLibraryRow, 1);

  // Back to user32: the fill shows the stored marks and writes nothing back.
  program.gui.ClickRow(kLibrariesList, 0);
  program.Pump();
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"GetDC+", "MessageBox-", "MessageBoxA+", "MessageBoxW+"}));
  EXPECT_EQ(program.session.catalogue.Find(u"user32")->functions[1].checked, 0);

  // Every refill ran with drawing frozen.
  EXPECT_EQ(program.gui.RowsAddedUnfrozen(), 0);
  EXPECT_EQ(program.gui.FreezeDepth(), 0);

  // Clicking below the last row re-selects the shown library's row; the same row does nothing.
  program.gui.ClickRow(kLibrariesList, -1);
  program.Pump();
  EXPECT_EQ(program.gui.SelectedRow(kLibrariesList), 0);
  EXPECT_EQ(Rows(kFunctionList).size(), 4u);
}

TEST_F(LibraryFlowTest, CheckBoxesReachTheRecordsOnlyOfTheFunctionList) {
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib", u"C:\\Sdk\\gdi32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  const LibraryEntry& user32 = *program.session.catalogue.Find(u"user32");
  program.gui.ClickCheckBox(kFunctionList, 3);
  EXPECT_EQ(user32.functions[3].checked, 0);
  program.gui.ClickCheckBox(kFunctionList, 3);
  EXPECT_EQ(user32.functions[3].checked, 1);
  program.gui.ClickCheckBox(kLibrariesList, 0);
  for (const ApiFunction& record : user32.functions) EXPECT_EQ(record.checked, 1);
}

TEST_F(LibraryFlowTest, BadFilesAreSkippedSilentlyAndTheWindowStaysUsable) {
  program.files.AddFolder(u"D:\\Other\\folder.lib");
  program.files.AddUnreadable(u"D:\\Other\\locked.lib");
  // Chosen in the requester, deleted before the load reads it.
  program.dialogs.AnswerOpenFiles({u"D:\\Other\\folder.lib", u"D:\\Other\\locked.lib", u"D:\\Other\\gone.lib",
                                   u"D:\\Other\\notes.lib", u"C:\\Sdk\\gdi32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  EXPECT_TRUE(program.gui.Messages().empty());
  EXPECT_EQ(Rows(kLibrariesList), std::vector<std::string>{"gdi32.lib+"});
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"Arc+", "BitBlt+"}));
  program.gui.Click(kCheckNone);
  program.Pump();
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"Arc-", "BitBlt-"}));
}

TEST_F(LibraryFlowTest, ALoadThatGivesNoLibraryKeepsTheCatalogueAndTheViews) {
  program.files.AddFile(u"C:\\Work\\Korvane.xml\\[x86] [t] bad.lib.xml", "<bad.lib path=\"C:\\\">");
  program.files.AddFile(u"D:\\Other\\empty.lib", "");
  struct Case {
    const char* name;
    int button;  // -1: dropped
    Text file;
    const char16_t* message;
  };
  const std::vector<Case> cases = {
      {"a text file as library", kLoadLibs, u"D:\\Other\\notes.lib", u" Skipped notes.lib: not an archive"},
      {"a malformed catalogue file", kLoadXml, u"C:\\Work\\Korvane.xml\\[x86] [t] bad.lib.xml",
       u" Skipped [x86] [t] bad.lib.xml: not a catalogue file (malformed XML)"},
      {"an empty file dropped", -1, u"D:\\Other\\empty.lib", u" Skipped empty.lib: empty"},
  };
  constexpr int kNeedALibrary[] = {kMsdnChecked, kMergeXml, kSaveXml, kExportPb,
                                   kCheckAll,    kCheckNone, kCheckInvert, kCheckFilled};
  for (const Case& c : cases) {
    program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib", u"C:\\Sdk\\gdi32.lib"});
    program.gui.Click(kLoadLibs);
    program.Pump();
    // An unsaved change, another library shown and a record in the editor: all must survive.
    program.gui.ClickRow(kLibrariesList, 1);
    program.Pump();
    program.gui.ClickCheckBox(kFunctionList, 0);
    program.gui.ClickRow(kFunctionList, 1);
    program.Pump();
    ASSERT_TRUE(program.gui.IsVisible(kDetailPanel)) << c.name;
    if (c.button == -1) {
      program.gui.DropFiles(c.file);
    } else {
      program.dialogs.AnswerOpenFiles({c.file});
      program.gui.Click(c.button);
    }
    program.Pump();
    EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), c.message) << c.name;
    EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"Arc-", "BitBlt+"})) << c.name;
    EXPECT_EQ(Rows(kLibrariesList), (std::vector<std::string>{"user32.lib+", "gdi32.lib+"})) << c.name;
    EXPECT_EQ(program.gui.SelectedRow(kLibrariesList), 1) << c.name;
    EXPECT_EQ(program.session.catalogue.Find(u"gdi32")->functions[0].checked, 0) << c.name;
    EXPECT_EQ(program.session.catalogue.ShownKey(), u"gdi32") << c.name;
    EXPECT_TRUE(program.gui.IsVisible(kDetailPanel)) << c.name;
    EXPECT_EQ(program.gui.GetStatusText(kStatusCount), u" 2 Functions") << c.name;
    EXPECT_EQ(program.gui.GetText(kLibraryPath), u"C:\\Sdk\\gdi32.lib") << c.name;
    EXPECT_EQ(program.gui.GetText(kArchitecture), u"x64") << c.name;
    for (const int control : kNeedALibrary) EXPECT_TRUE(program.gui.IsEnabled(control)) << c.name << " " << control;
    EXPECT_EQ(program.gui.FreezeDepth(), 0) << c.name;
    EXPECT_TRUE(program.gui.HookAttached()) << c.name;
  }
}

TEST_F(LibraryFlowTest, ALibraryCutShortIsNamedInTheStatusBar) {
  const testing::Bytes whole = MicrosoftLibrary({"Alpha", "Beta", "Gamma"});
  const std::string image(whole.begin(), whole.end());
  program.files.AddFile(u"D:\\Other\\cut.lib", std::string_view(image).substr(0, image.rfind("Gamma") + 2));
  program.dialogs.AnswerOpenFiles({u"D:\\Other\\cut.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  EXPECT_EQ(Rows(kFunctionList), (std::vector<std::string>{"Alpha+", "Beta+"}));
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), u" cut.lib: symbol directory cut short, only 2 names read");
  // The next complete load does not keep the warning.
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\gdi32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), u" Ready...");
}

TEST_F(LibraryFlowTest, ClosingTheExportWindowHidesItAndEnablesTheMainWindow) {
  program.gui.ShowWindow(kExportWindow, true);
  program.gui.EnableWindow(kMainWindow, false);
  program.gui.QueueEvent({kEventCloseWindow, kExportWindow, -1, 0, {}});
  // Queued behind it: proof that the loop went on after the export window's close event.
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\gdi32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  EXPECT_FALSE(program.gui.WindowVisible(kExportWindow));
  EXPECT_TRUE(program.gui.WindowEnabled(kMainWindow));
  EXPECT_EQ(program.gui.RowCount(kFunctionList), 2);
}

// The time field's times belong to the last run over the catalogue a load replaces.
TEST_F(LibraryFlowTest, ALoadClearsTheLastRunsTimes) {
  program.gui.SetStatusText(kStatusTime, u" 00:01:02 / 00:01:02");
  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();
  EXPECT_EQ(program.gui.GetStatusText(kStatusTime), u" 00:00:00 / 00:00:00");
}

}  // namespace
}  // namespace korvane
