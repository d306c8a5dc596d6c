// The export window driven as a user drives it, on the in-memory platform: its start-up state, the
// settings each click writes, and what "Export" does with the main window's Libraries list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/export_window.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "export/export.h"
#include "export/listing.h"
#include "helpers/archive_writer.h"
#include "helpers/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;
using testing::MicrosoftLibrary;

const Text kIni = u"C:\\Work\\Korvane.ini";
// As the program writes the file, so a write adds only its own line.
const std::string kTwoRoots = "\xEF\xBB\xBF\r\n[Export]\r\nAPI = 1\r\nSAL = 1\r\n[PBRoot]\r\nRootDir1 = C:\\PB\\\r\nRootDir2 = D:\\PB6\\\r\n";
constexpr int kListingControls[] = {kExportTemplate, kExportResetTemplate, kExportInOut, kExportKeepSal, kExportRemoveSal};

std::vector<Text> Items(HeadlessGui& gui) {
  std::vector<Text> items;
  for (int item = 0; item < gui.ItemCount(kExportRoot); ++item) items.push_back(gui.ItemText(kExportRoot, item));
  return items;
}

class ExportFlowTest : public ::testing::Test {
 protected:
  void Start(const std::string& settings = kTwoRoots) {
    if (!settings.empty()) program.files.AddFile(kIni, settings);
    program.Start();
  }
  void OpenWindow() {
    program.gui.Click(kExportPb);
    program.Pump();
  }
  void Click(int control) {
    program.gui.Click(control);
    program.Pump();
  }
  std::string SettingsText() { return program.files.Contents(kIni); }

  HeadlessProgram program;
};

TEST_F(ExportFlowTest, StartUpPutsTheStoredChoicesIntoTheWindow) {
  struct Case {
    const char* what;
    std::string settings;  // empty: a first start
    bool listing;
    int option;
    std::vector<Text> items;
  };
  const Case cases[] = {
      // A first start shows what it has just written, so the window and the new file agree.
      {"first start", "", true, kExportInOut, {}},
      {"listing off, Remove, two roots", "[Export]\r\nAPI = 0\r\nSAL = 3\r\n[PBRoot]\r\nRootDir1 = C:\\PB\\\r\nX = D:\\B\\\r\n",
       false, kExportRemoveSal, {u"C:\\PB\\", u"D:\\B\\"}},
      {"_Inout_ and an unknown SAL value", "[Export]\r\nSAL = 2\r\n", true, kExportKeepSal, {}},
      {"SAL out of range keeps InOut", "[Export]\r\nSAL = 4\r\n", true, kExportInOut, {}},
  };
  for (const Case& c : cases) {
    HeadlessProgram fresh;
    if (!c.settings.empty()) fresh.files.AddFile(kIni, c.settings);
    fresh.Start();
    HeadlessGui& gui = fresh.gui;
    EXPECT_EQ(gui.IsChecked(kExportUpdateListing), c.listing) << c.what;
    for (const int control : kListingControls) EXPECT_EQ(gui.IsEnabled(control), c.listing) << c.what << control;
    for (const int option : {kExportInOut, kExportKeepSal, kExportRemoveSal}) {
      EXPECT_EQ(gui.IsChecked(option), option == c.option) << c.what << option;
    }
    EXPECT_EQ(Items(gui), c.items) << c.what;
    EXPECT_EQ(gui.SelectedItem(kExportRoot), -1) << c.what;
    EXPECT_EQ(gui.GetText(kExportRoot), u"") << c.what;
    EXPECT_FALSE(gui.WindowVisible(kExportWindow)) << c.what;
    if (c.settings.empty()) {
      EXPECT_NE(fresh.files.Contents(kIni).find("API = 1\r\n"), std::string::npos);
    }
  }
}

TEST_F(ExportFlowTest, ExportPbOpensTheWindowAndCancelOrCloseBoxGivesTheMainWindowBack) {
  Start();
  const std::string settings = SettingsText();
  for (const bool closeBox : {false, true}) {
    OpenWindow();
    EXPECT_TRUE(program.gui.WindowVisible(kExportWindow));
    EXPECT_FALSE(program.gui.WindowEnabled(kMainWindow));
    if (closeBox) {
      program.gui.Close(kExportWindow);
      program.Pump();
    } else {
      Click(kExportCancel);
    }
    EXPECT_FALSE(program.gui.WindowVisible(kExportWindow)) << closeBox;
    EXPECT_TRUE(program.gui.WindowEnabled(kMainWindow)) << closeBox;
  }
  EXPECT_EQ(program.gui.TimesCentred(kExportWindow), 2);
  EXPECT_TRUE(program.gui.Messages().empty());
  EXPECT_EQ(SettingsText(), settings);
}

TEST_F(ExportFlowTest, FoldersFromTheDialogAreSelectedOrAddedAndRemembered) {
  Start();
  OpenWindow();
  struct Step {
    Text answer;  // empty: the dialog was cancelled
    std::vector<Text> items;
    int selected;
    const char* added;  // the line the step adds to the settings, or nullptr when it writes nothing
  };
  const Step steps[] = {
      {u"D:\\PB6\\", {u"C:\\PB\\", u"D:\\PB6\\"}, 1, nullptr},
      {u"c:\\pb\\", {u"C:\\PB\\", u"D:\\PB6\\", u"c:\\pb\\"}, 2, "RootDir3 = c:\\pb\\\r\n"},  // case counts
      {u"", {u"C:\\PB\\", u"D:\\PB6\\", u"c:\\pb\\"}, 2, nullptr},
      {u"E:\\New", {u"C:\\PB\\", u"D:\\PB6\\", u"c:\\pb\\", u"E:\\New\\"}, 3, "RootDir4 = E:\\New\\\r\n"},
      {u"E:\\New\\", {u"C:\\PB\\", u"D:\\PB6\\", u"c:\\pb\\", u"E:\\New\\"}, 3, nullptr},
  };
  for (const Step& step : steps) {
    const std::string before = SettingsText();
    program.dialogs.AnswerChooseFolder(step.answer);
    Click(kExportBrowse);
    EXPECT_EQ(Items(program.gui), step.items) << TextToUtf8(step.answer);
    EXPECT_EQ(program.gui.SelectedItem(kExportRoot), step.selected) << TextToUtf8(step.answer);
    EXPECT_EQ(program.gui.GetText(kExportRoot), step.items[static_cast<std::size_t>(step.selected)]);
    if (step.added == nullptr) {
      EXPECT_EQ(SettingsText(), before) << TextToUtf8(step.answer);
    } else {
      EXPECT_EQ(SettingsText(), before + step.added);
    }
  }
  ASSERT_EQ(program.dialogs.Requests().size(), 5u);
  EXPECT_EQ(program.dialogs.Requests()[0].title, u"Purebasic Root Folder...");
  EXPECT_EQ(program.dialogs.Requests()[0].startFolder, u"C:\\");
  EXPECT_TRUE(program.gui.WindowVisible(kExportWindow));
}

TEST_F(ExportFlowTest, ClicksWriteTheirSettingAtOnce) {
  Start();
  OpenWindow();
  struct Step {
    int control;
    bool listing;  // the check box and its five controls afterwards
    const char* api;
    const char* sal;
  };
  const Step steps[] = {
      {kExportInOut, true, "API = 9", "SAL = 1"},  // already selected: written again
      {kExportUpdateListing, false, "API = 0", "SAL = 9"},
      {kExportUpdateListing, true, "API = 1", "SAL = 9"},
      {kExportRemoveSal, true, "API = 9", "SAL = 3"},
      {kExportKeepSal, true, "API = 9", "SAL = 2"},
  };
  for (const Step& step : steps) {
    program.files.AddFile(kIni, "[Export]\r\nAPI = 9\r\nSAL = 9\r\n");  // so every write shows
    Click(step.control);
    EXPECT_EQ(SettingsText(), std::string("\xEF\xBB\xBF\r\n[Export]\r\n") + step.api + "\r\n" + step.sal + "\r\n") << step.control;
    EXPECT_EQ(program.gui.IsChecked(kExportUpdateListing), step.listing);
    for (const int control : kListingControls) EXPECT_EQ(program.gui.IsEnabled(control), step.listing) << control;
    EXPECT_TRUE(program.gui.IsEnabled(kExportTemplateLabel));
    EXPECT_TRUE(program.gui.IsEnabled(kExportConnector));
  }
}

TEST_F(ExportFlowTest, ResetBringsBackTheDefaultTemplateEvenAfterItWasEmptied) {
  Start();
  OpenWindow();
  const std::string settings = SettingsText();
  for (const Text& typed : {Text(u""), Text(u"  %DSC%")}) {
    program.gui.SetText(kExportTemplate, typed);
    Click(kExportResetTemplate);
    EXPECT_EQ(program.gui.GetText(kExportTemplate), kDefaultDescriptionTemplate);
  }
  EXPECT_EQ(SettingsText(), settings);  // the template is never stored
}

// An installation at D:\PB\ with a listing, and three libraries loaded in the main window.
class ExportRunTest : public ExportFlowTest {
 protected:
  static void AddInstallation(MemoryFileSystem& files) {
    for (const char16_t* folder : {u"D:\\PB", u"D:\\PB\\PureLibraries", u"D:\\PB\\PureLibraries\\Windows",
                              u"D:\\PB\\PureLibraries\\Windows\\Libraries", u"D:\\PB\\Compilers"}) {
      files.AddFolder(folder);
    }
    files.AddFile(kListing, "1\r\nAbortDoc (hdc)\r\n");
  }
  void SetUp() override {
    program.files.AddFile(u"C:\\Sdk\\user32.lib", MicrosoftLibrary({"_MessageBoxA@16", "_GetDC@4"}));
    program.files.AddFile(u"C:\\Sdk\\gdi32.lib", MicrosoftLibrary({"Arc"}));
    program.files.AddFile(u"C:\\Sdk\\b.lib", MicrosoftLibrary({"Beta"}));
    AddInstallation(program.files);
    Start();
    program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib", u"C:\\Sdk\\gdi32.lib", u"C:\\Sdk\\b.lib"});
    Click(kLoadLibs);
    // Facts the listing needs: a return type, and parameters with annotation words.
    for (const char16_t* key : {u"user32", u"gdi32", u"b"}) {
      for (ApiFunction& record : program.session.catalogue.Find(key)->functions) {
        record.Return = u"int";
        record.Parameters = u"_In_ HWND hWnd";
        record.Description = u"about " + record.Function;
      }
    }
    OpenWindow();
  }

  inline static const Text kListing = u"D:\\PB\\Compilers\\APIFunctionListing.txt";
};

TEST_F(ExportRunTest, ExportsTheTickedRowsInRowOrderWithTheWindowsChoices) {
  program.gui.ClickCheckBox(kLibrariesList, 1);  // gdi32 unticked
  program.gui.AddRow(kLibrariesList, {u"gone.lib"}, true);  // a row without a catalogue entry
  Click(kExportKeepSal);
  program.gui.SetText(kExportTemplate, u"  %DSC%");
  program.gui.SetText(kExportRoot, u"D:\\PB");  // typed, without the final backslash
  Click(kExportRun);

  // The same export run directly over what the window should have handed in.
  MemoryFileSystem expected;
  AddInstallation(expected);
  expected.AddFile(u"C:\\Sdk\\user32.lib", program.files.Contents(u"C:\\Sdk\\user32.lib"));
  expected.AddFile(u"C:\\Sdk\\b.lib", program.files.Contents(u"C:\\Sdk\\b.lib"));
  const LibraryEntry* libraries[] = {program.session.catalogue.Find(u"user32"), program.session.catalogue.Find(u"b")};
  const ExportResult direct =
      ExportToPureBasic(expected, libraries, {u"D:\\PB\\", true, AnnotationMode::Keep, u"  %DSC%"});
  ASSERT_TRUE(direct.failures.empty());
  ASSERT_EQ(direct.written.size(), 6u);
  for (const Text& path : direct.written) {
    EXPECT_EQ(program.files.Contents(path), expected.Contents(path)) << TextToUtf8(path);
  }
  EXPECT_NE(program.files.Contents(kListing).find("_In_ HWND hWnd )  about Beta"), std::string::npos)
      << program.files.Contents(kListing);
  EXPECT_FALSE(program.files.FileExists(u"D:\\PB\\PureLibraries\\Windows\\GDI32"));
  EXPECT_FALSE(program.files.FileExists(u"D:\\PB\\PureLibraries\\Windows\\Libraries\\gdi32.lib"));
  EXPECT_FALSE(program.gui.WindowVisible(kExportWindow));
  EXPECT_TRUE(program.gui.WindowEnabled(kMainWindow));
}

TEST_F(ExportRunTest, WhatTheUserSeesAfterExport) {
  struct Case {
    const char* what;
    Text root;
    bool tickNothing;
    bool listingOff;
    bool windowStays;
    MessageBoxIcon icon;
    Text messageStart;  // empty: no message
  };
  const Text finished = u"Export finished!\n\nIn order for the changes to take effect, please restart the Purebasic IDE.";
  const Case cases[] = {
      {"no row ticked", u"D:\\PB\\", true, false, false, MessageBoxIcon::None, finished},
      {"root is no folder", u"D:\\Nowhere\\", false, false, true, MessageBoxIcon::None, u""},
      {"empty root", u"", false, false, true, MessageBoxIcon::None, u""},
      {"root is a file", u"C:\\Sdk\\b.lib", false, false, true, MessageBoxIcon::None, u""},
      {"not an installation", u"C:\\Sdk\\", false, false, true, MessageBoxIcon::Error,
       u"C:\\Sdk\\ is not an installation: the folder C:\\Sdk\\PureLibraries\\Windows\\ is missing."},
      {"listing switched off", u"D:\\PB\\", false, true, false, MessageBoxIcon::None, finished},
  };
  for (const Case& c : cases) {
    HeadlessProgram& p = program;
    p.files.AddFile(kListing, "1\r\nAbortDoc (hdc)\r\n");
    p.files.AddFolder(u"C:\\Sdk");
    for (int row = 0; row < p.gui.RowCount(kLibrariesList); ++row) {
      p.gui.SetRowState(kLibrariesList, row, false, !c.tickNothing);
    }
    p.gui.SetChecked(kExportUpdateListing, !c.listingOff);
    const std::size_t messagesBefore = p.gui.Messages().size();
    p.gui.SetText(kExportRoot, c.root);
    Click(kExportRun);
    EXPECT_EQ(p.gui.WindowVisible(kExportWindow), c.windowStays) << c.what;
    EXPECT_EQ(p.gui.WindowEnabled(kMainWindow), !c.windowStays) << c.what;
    if (c.messageStart.empty()) {
      EXPECT_EQ(p.gui.Messages().size(), messagesBefore) << c.what;
    } else {
      ASSERT_EQ(p.gui.Messages().size(), messagesBefore + 1) << c.what;
      const RecordedMessage& message = p.gui.Messages().back();
      EXPECT_EQ(message.caption, kProgramTitle) << c.what;
      EXPECT_EQ(message.text.substr(0, c.messageStart.size()), c.messageStart) << c.what;
      EXPECT_EQ(message.kind, MessageBoxKind::Ok) << c.what;
      EXPECT_EQ(message.icon, c.icon) << c.what;
      // A message about the export window's root belongs to that window, which stays modal over the
      // main window; the closing message comes after it has gone.
      EXPECT_EQ(message.window, c.windowStays ? kExportWindow : kMainWindow) << c.what;
      // A window that stays open exported nothing: its message says why and nothing else.
      if (c.windowStays) {
        EXPECT_EQ(message.text, c.messageStart) << c.what;
      }
    }
    const bool listingWritten = !c.tickNothing && !c.listingOff && c.root == u"D:\\PB\\";
    EXPECT_EQ(p.files.Contents(kListing) != "1\r\nAbortDoc (hdc)\r\n", listingWritten) << c.what;
    EXPECT_EQ(p.files.FileExists(u"D:\\PB\\PureLibraries\\Windows\\USER32"), !c.tickNothing && c.root == u"D:\\PB\\")
        << c.what;
    p.files.RemoveFile(u"D:\\PB\\PureLibraries\\Windows\\USER32");
    if (!c.windowStays) OpenWindow();
  }
}

// A root typed into the field is offered again next time, as a chosen one is, once an export went
// there; a root the export refused is not.
TEST_F(ExportRunTest, ATypedRootIsRememberedAfterASuccessfulExport) {
  const std::string before = SettingsText();
  program.files.AddFolder(u"C:\\Sdk");
  program.gui.SetText(kExportRoot, u"C:\\Sdk");  // not an installation
  Click(kExportRun);
  EXPECT_EQ(program.gui.ItemCount(kExportRoot), 2);
  EXPECT_EQ(SettingsText(), before);
  program.gui.SetText(kExportRoot, u"D:\\PB");
  Click(kExportRun);
  OpenWindow();
  EXPECT_EQ(Items(program.gui), (std::vector<Text>{u"C:\\PB\\", u"D:\\PB6\\", u"D:\\PB\\"}));
  EXPECT_EQ(program.gui.SelectedItem(kExportRoot), 2);
  const std::string added = "RootDir2 = D:\\PB6\\\r\nRootDir3 = D:\\PB\\\r\n";
  EXPECT_NE(SettingsText().find(added), std::string::npos) << SettingsText();
  // Again into the same root: it is there already.
  Click(kExportRun);
  EXPECT_EQ(program.gui.ItemCount(kExportRoot), 3);
}

}  // namespace
}  // namespace korvane
