#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program_numbers.h"
#include "catalogue/catalogue_xml.h"
#include "helpers/archive_writer.h"
#include "helpers/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;

// A catalogue file in the program's layout, for the records given as
// {Function, Parameters, Return, Description, checked}.
struct Fact {
  const char16_t* function;
  const char16_t* parameters;
  const char16_t* returnType;
  const char16_t* description;
  int checked;
};

std::string CatalogueFile(const Text& libraryPath, int x86, const std::vector<Fact>& facts) {
  LibraryEntry entry;
  entry.path = libraryPath;
  entry.x86 = x86;
  for (const Fact& fact : facts) {
    ApiFunction record;
    record.Function = fact.function;
    record.Parameters = fact.parameters;
    record.Return = fact.returnType;
    record.Description = fact.description;
    record.checked = fact.checked;
    entry.functions.push_back(record);
  }
  return WriteCatalogueDocument(entry);
}

class CatalogueFilesFlowTest : public ::testing::Test {
 protected:
  explicit CatalogueFilesFlowTest(const Text& workingDirectory = u"C:\\Work\\") {
    program.files.SetWorkingDirectory(workingDirectory);
    folder = workingDirectory + u"Korvane.xml\\";
    program.files.AddFile(u"C:\\Sdk\\user32.lib", testing::MicrosoftLibrary({"_GetDC@4", "_MessageBoxA@16"}));
    program.files.AddFile(u"C:\\Sdk\\gdi32.lib", testing::MicrosoftLibrary({"_GetDC@4", "_Arc@36"}));
    program.Start();
  }

  void LoadLibs(std::vector<Text> paths) {
    program.dialogs.AnswerOpenFiles(std::move(paths));
    program.gui.Click(kLoadLibs);
    program.Pump();
  }

  void LoadXml(std::vector<Text> paths) {
    program.dialogs.AnswerOpenFiles(std::move(paths));
    program.gui.Click(kLoadXml);
    program.Pump();
  }

  std::vector<std::string> FunctionRows() {
    std::vector<std::string> rows;
    for (int row = 0; row < program.gui.RowCount(kFunctionList); ++row) {
      std::string text;
      for (int column = 0; column < 4; ++column) text += TextToUtf8(program.gui.RowText(kFunctionList, row, column)) + "|";
      rows.push_back(text + (program.gui.IsRowChecked(kFunctionList, row) ? "+" : "-"));
    }
    return rows;
  }

  HeadlessProgram program;
  Text folder;
};

TEST_F(CatalogueFilesFlowTest, SavingWritesOneFilePerLibraryNamedByArchitectureTimeAndLibrary) {
  LoadLibs({u"C:\\Sdk\\user32.lib", u"C:\\Sdk\\gdi32.lib"});
  program.gui.Click(kSaveXml);
  program.Pump();
  const Text user32 = folder + u"[x86] [12.07.2026-20.02.34] user32.lib.xml";
  const Text gdi32 = folder + u"[x86] [12.07.2026-20.02.34] gdi32.lib.xml";
  EXPECT_EQ(program.files.Contents(user32), WriteCatalogueDocument(*program.session.catalogue.Find(u"user32")));
  EXPECT_EQ(program.files.Contents(gdi32), WriteCatalogueDocument(*program.session.catalogue.Find(u"gdi32")));
  ASSERT_EQ(program.gui.Messages().size(), 1u);
  EXPECT_EQ(program.gui.Messages()[0].caption, u"Korvane");
  EXPECT_EQ(program.gui.Messages()[0].text, u"Saving file(s) completed!");
}

TEST_F(CatalogueFilesFlowTest, AFailedSaveIsNotReportedAsComplete) {
  LoadLibs({u"C:\\Sdk\\user32.lib"});
  program.files.FailWritesTo(folder + u"[x86] [12.07.2026-20.02.34] user32.lib.xml");
  program.gui.Click(kSaveXml);
  program.Pump();
  ASSERT_EQ(program.gui.Messages().size(), 1u);
  EXPECT_NE(program.gui.Messages()[0].text.find(u"[x86] [12.07.2026-20.02.34] user32.lib.xml"), Text::npos);
  EXPECT_EQ(program.gui.Messages()[0].text.find(u"completed"), Text::npos);
}

TEST_F(CatalogueFilesFlowTest, TwoLibrariesWhoseFileNamesDifferOnlyInCaseAreNotBothSaved) {
  // On Windows the second file would silently replace the first.
  program.files.AddFile(u"D:\\Other\\USER32.lib", testing::MicrosoftLibrary({"_Beep@8"}));
  LoadLibs({u"C:\\Sdk\\user32.lib", u"D:\\Other\\USER32.lib"});
  program.gui.Click(kSaveXml);
  program.Pump();
  EXPECT_EQ(program.files.Contents(folder + u"[x86] [12.07.2026-20.02.34] user32.lib.xml"),
            WriteCatalogueDocument(*program.session.catalogue.Find(u"user32")));
  EXPECT_FALSE(program.files.FileExists(folder + u"[x86] [12.07.2026-20.02.34] USER32.lib.xml"));
  ASSERT_EQ(program.gui.Messages().size(), 1u);
  const Text& text = program.gui.Messages()[0].text;
  EXPECT_NE(text.find(u"USER32.lib.xml (D:\\Other\\USER32.lib)"), Text::npos) << TextToUtf8(text);
  EXPECT_EQ(text.find(u"completed"), Text::npos);
}

TEST_F(CatalogueFilesFlowTest, LoadingShowsTheFirstFileAndListsAll) {
  program.files.AddFile(folder + u"[x64] [12.06.2015-21.42.35] kernel32.lib.xml",
                        CatalogueFile(u"C:\\Sdk\\kernel32.lib", 0,
                                      {{u"Beep", u"VOID", u"BOOL", u"Sounds a tone.", 1},
                                       {u"Sleep", u"DWORD ms", u"VOID", u"", 0}}));
  program.files.AddFile(folder + u"[x86] [12.06.2015-21.42.36] user32.lib.xml",
                        CatalogueFile(u"C:\\Sdk\\user32.lib", 1, {{u"GetDC", u"void", u"HDC", u"", 1}}));
  program.files.AddFile(folder + u"[x86] [12.06.2015-21.42.37] broken.lib.xml", "<broken.lib><element>");
  program.files.AddFolder(folder + u"[x86] [12.06.2015-21.42.38] folder.lib.xml");
  LoadXml({folder + u"[x64] [12.06.2015-21.42.35] kernel32.lib.xml",
           folder + u"[x86] [12.06.2015-21.42.37] broken.lib.xml",
           folder + u"[x86] [12.06.2015-21.42.38] folder.lib.xml",
           folder + u"[x86] [12.06.2015-21.42.39] vanished.lib.xml",
           folder + u"[x86] [12.06.2015-21.42.36] user32.lib.xml"});

  EXPECT_EQ(program.dialogs.Requests().back().title, u"Open XML");
  EXPECT_EQ(program.dialogs.Requests().back().startFolder, folder);
  EXPECT_EQ(FunctionRows(), (std::vector<std::string>{"Beep|( void )|BOOL|Sounds a tone.|+", "Sleep|( DWORD ms )|VOID||-"}));
  EXPECT_EQ(program.gui.RowCount(kLibrariesList), 2);
  EXPECT_TRUE(program.gui.IsVisible(kLibrariesList));
  EXPECT_EQ(program.gui.GetText(kLibraryPath), u"C:\\Sdk\\kernel32.lib");
  EXPECT_EQ(program.gui.GetText(kArchitecture), u"x64");  // the shown library's, not the last file's
  // The three files left out are counted, the first named with its reason.
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage),
            u" 3 files skipped, the first [x86] [12.06.2015-21.42.37] broken.lib.xml: not a catalogue file "
            u"(malformed XML)");
  EXPECT_EQ(program.gui.GetStatusText(kStatusCount), u" 2 Functions");
  EXPECT_TRUE(program.gui.IsEnabled(kSaveXml));
  // "void" means no parameters in every file, not only the first.
  EXPECT_EQ(program.session.catalogue.Find(u"kernel32")->functions[0].Parameters, u"");
  EXPECT_EQ(program.session.catalogue.Find(u"user32")->functions[0].Parameters, u"");
  EXPECT_TRUE(program.gui.PendingEvents().empty());  // no automatic merge after Load XML
}

TEST_F(CatalogueFilesFlowTest, SaveThenLoadGivesTheSameCatalogue) {
  LoadLibs({u"C:\\Sdk\\user32.lib"});
  program.gui.ClickRow(kFunctionList, 0);
  program.Pump();
  program.gui.SetText(kDetailParameters, u"HWND  hWnd");
  program.gui.SetText(kDetailReturn, u"hdc");
  program.gui.SetText(kDetailDescription, u"Gets a <device> & context.");
  program.gui.Click(kDetailSave);
  program.gui.ClickCheckBox(kFunctionList, 1);
  program.gui.Click(kSaveXml);
  program.Pump();
  const std::vector<std::string> before = FunctionRows();
  const Text saved = folder + u"[x86] [12.07.2026-20.02.34] user32.lib.xml";
  LoadXml({saved});
  const std::vector<std::string> after = FunctionRows();
  EXPECT_EQ(after, (std::vector<std::string>{"GetDC|( HWND hWnd )|HDC|Gets a <device> & context.|+", "MessageBoxA||||-"}));
  EXPECT_EQ(before.size(), after.size());
  EXPECT_EQ(program.session.catalogue.Shown()->path, u"C:\\Sdk\\user32.lib");
}

TEST_F(CatalogueFilesFlowTest, SavingAnEmptyShownLibraryWritesNothing) {
  program.files.AddFile(folder + u"[x86] [12.06.2015-21.42.35] empty.lib.xml",
                        "<?xml version=\"1.0\"?><empty.lib path=\"C:\\\" x86=\"1\"></empty.lib>");
  LoadXml({folder + u"[x86] [12.06.2015-21.42.35] empty.lib.xml"});
  ASSERT_NE(program.session.catalogue.Shown(), nullptr);
  program.gui.Click(kSaveXml);
  program.Pump();
  EXPECT_TRUE(program.gui.Messages().empty());
}

TEST_F(CatalogueFilesFlowTest, MergeOverwritesSameNamedFunctionsInEveryLibrary) {
  LoadLibs({u"C:\\Sdk\\user32.lib", u"C:\\Sdk\\gdi32.lib"});
  program.files.AddFile(u"C:\\Facts\\[x86] [12.06.2015-21.42.35] other.lib.xml",
                        CatalogueFile(u"C:\\x\\other.lib", 1,
                                      {{u"GetDC", u"HWND hWnd", u"HDC", u"Gets a device context.", 0},
                                       {u"arc", u"int x", u"BOOL", u"lower case: no match", 1}}));
  program.dialogs.AnswerOpenFiles({u"C:\\Facts\\[x86] [12.06.2015-21.42.35] other.lib.xml"});
  program.gui.Click(kMergeXml);
  program.Pump();
  for (const Text key : {u"user32", u"gdi32"}) {
    const ApiFunction& getDC = program.session.catalogue.Find(key)->functions[key == u"user32" ? 0 : 1];
    EXPECT_EQ(getDC.Function, u"GetDC");
    EXPECT_EQ(getDC.Description, u"Gets a device context.") << TextToUtf8(key);
    EXPECT_EQ(getDC.checked, 0) << TextToUtf8(key);
  }
  EXPECT_TRUE(program.session.catalogue.Find(u"gdi32")->functions[0].Return.empty());  // 'Arc'
  EXPECT_EQ(FunctionRows()[0], "GetDC|( HWND hWnd )|HDC|Gets a device context.|-");
}

TEST_F(CatalogueFilesFlowTest, AutomaticMergeReadsTheMasterFileAfterALibraryLoad) {
  LoadLibs({u"C:\\Sdk\\user32.lib"});  // no master file yet: nothing changes
  EXPECT_EQ(FunctionRows()[0], "GetDC||||+");
  program.files.AddFile(folder + u"Korvane", CatalogueFile(u"C:\\x\\master.lib", 1,
                                                           {{u"GetDC", u"HWND hWnd", u"HDC", u"", 1}}));
  LoadLibs({u"C:\\Sdk\\user32.lib"});
  EXPECT_EQ(FunctionRows()[0], "GetDC|( HWND hWnd )|HDC||+");
  EXPECT_EQ(program.gui.SelectedRow(kLibrariesList), 0);
}

TEST_F(CatalogueFilesFlowTest, AManualMergeRightAfterLoadingOneFileShowsTheMergedRows) {
  program.files.AddFile(folder + u"[x86] [12.06.2015-21.42.36] user32.lib.xml",
                        CatalogueFile(u"C:\\Sdk\\user32.lib", 1, {{u"GetDC", u"", u"", u"", 1}}));
  program.files.AddFile(u"C:\\Facts\\[x86] [12.06.2015-21.42.35] user32.lib.xml",
                        CatalogueFile(u"C:\\Sdk\\user32.lib", 1, {{u"GetDC", u"HWND hWnd", u"HDC", u"Gets a DC.", 1}}));
  program.files.AddFile(u"C:\\Facts\\notes.xml", "just text");
  LoadXml({folder + u"[x86] [12.06.2015-21.42.36] user32.lib.xml"});
  EXPECT_EQ(program.gui.RowCount(kFunctionList), 1);
  program.dialogs.AnswerOpenFiles({u"C:\\Facts\\[x86] [12.06.2015-21.42.35] user32.lib.xml"});
  program.gui.Click(kMergeXml);
  program.Pump();
  // No row of the Libraries list is selected after a single file; the shown library is shown all the same.
  EXPECT_EQ(FunctionRows(), std::vector<std::string>{"GetDC|( HWND hWnd )|HDC|Gets a DC.|+"});
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), u" Ready...");
  // A file that is not a catalogue file merges nothing and says so; the rows stay.
  program.dialogs.AnswerOpenFiles({u"C:\\Facts\\notes.xml"});
  program.gui.Click(kMergeXml);
  program.Pump();
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), u" Not merged notes.xml: not a catalogue file");
  EXPECT_EQ(FunctionRows().size(), 1u);
}

class CatalogueFolderWithSpaces : public CatalogueFilesFlowTest {
 protected:
  CatalogueFolderWithSpaces() : CatalogueFilesFlowTest(u"C:\\My Tools\\") {}
};

TEST_F(CatalogueFolderWithSpaces, LibraryNameComesFromTheFileNameNotTheFolder) {
  LoadLibs({u"C:\\Sdk\\user32.lib"});
  program.gui.Click(kSaveXml);
  program.Pump();
  LoadXml({u"C:\\My Tools\\Korvane.xml\\[x86] [12.07.2026-20.02.34] user32.lib.xml"});
  EXPECT_EQ(program.gui.RowText(kLibrariesList, 0, 0), u"user32.lib");
  EXPECT_NE(program.session.catalogue.Find(u"user32"), nullptr);
}

}  // namespace
}  // namespace korvane
