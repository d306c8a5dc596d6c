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

// "Save Import File..." of the "»" menu writes the shown library's file where the save requester says.
class ImportFileFlowTest : public ::testing::Test {
 protected:
  ImportFileFlowTest() {
    program.files.AddFile(u"C:\\Sdk\\user32.lib", testing::MicrosoftLibrary({"_GetWidget@4", "_ReleaseWidget@8"}));
    LibraryEntry entry;
    entry.path = u"C:\\Sdk\\user32.lib";
    entry.x86 = 1;
    ApiFunction getDc;
    getDc.Function = u"GetWidget";
    getDc.Parameters = u"_In_opt_ HWND hWnd";
    getDc.Return = u"HDC";
    getDc.checked = 1;
    ApiFunction releaseDc = getDc;
    releaseDc.Function = u"ReleaseWidget";
    releaseDc.Parameters = u"HWND hWnd";  // one parameter short of the library's @8
    releaseDc.Return = u"int";
    entry.functions = {getDc, releaseDc};
    program.files.AddFile(u"C:\\Work\\Korvane.xml\\[x86] [12.07.2026-20.02.34] user32.lib.xml",
                          WriteCatalogueDocument(entry));
    program.files.AddFolder(u"C:\\Out");
    program.Start();
    program.dialogs.AnswerOpenFiles({u"C:\\Work\\Korvane.xml\\[x86] [12.07.2026-20.02.34] user32.lib.xml"});
    program.gui.Click(kLoadXml);
    program.Pump();
  }

  void SaveImportFileAs(Text path) {
    program.dialogs.AnswerSaveFile(std::move(path));
    program.gui.ChooseMenuItem(kMenuSaveImportFile);
    program.Pump();
  }

  HeadlessProgram program;
};

TEST_F(ImportFileFlowTest, WritesTheShownLibrarysFileAndSaysWhere) {
  SaveImportFileAs(u"C:\\Out\\user32.pbi");
  const RecordedRequest& request = program.dialogs.Requests().back();
  EXPECT_EQ(request.startFolder, u"C:\\Work\\Korvane.xml\\");
  EXPECT_EQ(request.defaultName, u"user32.pbi");
  EXPECT_EQ(program.files.Contents(u"C:\\Out\\user32.pbi"),
            "\xEF\xBB\xBF; user32.lib (x86): import declarations written by Korvane\r\n"
            "\r\n"
            "Import \"user32.lib\"\r\n"
            "  GetWidget_.i(hWnd.i) As \"_GetWidget@4\"\r\n"
            "  ; ReleaseWidget_: not declared: the declaration's symbol _ReleaseWidget@4 differs from the library's _ReleaseWidget@8\r\n"
            "EndImport\r\n");
  ASSERT_EQ(program.gui.Messages().size(), 1u);
  EXPECT_EQ(program.gui.Messages()[0].text,
            u"Import file written to C:\\Out\\user32.pbi\n1 function(s) declared, 1 left as comments (the file says why)");
}

TEST_F(ImportFileFlowTest, CancelWritesNothingAndAFailedWriteIsSaid) {
  SaveImportFileAs(u"");
  EXPECT_TRUE(program.gui.Messages().empty());
  EXPECT_FALSE(program.files.FileExists(u"C:\\Work\\Korvane.xml\\user32.pbi"));
  program.files.FailWritesTo(u"C:\\Out\\user32.pbi");
  SaveImportFileAs(u"C:\\Out\\user32.pbi");
  ASSERT_EQ(program.gui.Messages().size(), 1u);
  EXPECT_EQ(program.gui.Messages()[0].text, u"Could not write C:\\Out\\user32.pbi");
  EXPECT_EQ(program.gui.Messages()[0].icon, MessageBoxIcon::Error);
}

}  // namespace
}  // namespace korvane
