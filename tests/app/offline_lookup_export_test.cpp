// The whole road without a network: a documentation set beside the program answers "msdn Checked",
// and "Export PB" then writes declarations for what the lookup found.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program.h"
#include "app/program_numbers.h"
#include "docs/offline_page_source.h"
#include "helpers/archive_writer.h"
#include "helpers/headless_program.h"

namespace korvane {
namespace {

const std::string kSet =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<korvane-docs version=\"1\">"
    "<group title=\"Dialog Boxes\">"
    "<function name=\"MessageBoxW\" return=\"int\" header=\"winuser.h\" library=\"User32\">"
    "<param>_In_opt_ HWND hWnd</param><param>_In_opt_ LPCWSTR lpText</param>"
    "<param>_In_opt_ LPCWSTR lpCaption</param><param>_In_ UINT uType</param>"
    "<description>Displays a modal dialog box.</description></function>"
    "<function name=\"MessageBoxA\" return=\"int\" header=\"winuser.h\" library=\"User32\">"
    "<param>_In_opt_ HWND hWnd</param><param>_In_opt_ LPCSTR lpText</param>"
    "<param>_In_opt_ LPCSTR lpCaption</param><param>_In_ UINT uType</param></function>"
    "</group><group title=\"Device Contexts\">"
    "<function name=\"GetDC\" return=\"HDC\" header=\"winuser.h\" library=\"User32\">"
    "<param>_In_opt_ HWND hWnd</param><description>Retrieves a device context.</description></function>"
    "</group></korvane-docs>";

const Text kListing = u"D:\\PB\\Compilers\\APIFunctionListing.txt";

TEST(OfflineLookupToExport, TheSetBesideTheProgramFillsTheRowsAndTheExportWritesThem) {
  testing::HeadlessProgram program;
  program.files.AddFile(u"C:\\Korvane\\Korvane.docs", kSet);
  program.files.AddFile(u"C:\\Sdk\\user32.lib",
                        testing::MicrosoftLibrary({"_MessageBoxA@16", "_MessageBoxW@16", "_GetDC@4", "_Hidden@0"}));
  for (const char16_t* folder : {u"D:\\PB", u"D:\\PB\\PureLibraries", u"D:\\PB\\PureLibraries\\Windows",
                                 u"D:\\PB\\PureLibraries\\Windows\\Libraries", u"D:\\PB\\Compilers"}) {
    program.files.AddFolder(folder);
  }
  program.files.AddFile(kListing, "1\r\nAbortDoc (hdc)\r\n");
  program.Start();

  PageSourceMakers makers;
  makers.programFolder = u"C:\\Korvane\\";
  std::unique_ptr<PageSource> owned;
  program.session.lookup.source = ChoosePageSource(program.session, makers, owned);
  ASSERT_NE(dynamic_cast<OfflinePageSource*>(program.session.lookup.source), nullptr);

  program.dialogs.AnswerOpenFiles({u"C:\\Sdk\\user32.lib"});
  program.gui.Click(kLoadLibs);
  program.Pump();

  // "msdn Checked", and the loop runs until the batch has ended.
  program.gui.SetCloseWhenIdle(false);
  program.gui.Click(kMsdnChecked);
  do {
    DispatchEvent(program.session, program.gui.WaitEvent());
  } while (program.session.batchRunning.load());
  program.gui.SetCloseWhenIdle(true);
  program.Pump();

  // Rows: GetDC Hidden MessageBox MessageBoxA MessageBoxW.
  const LibraryEntry& user32 = *program.session.catalogue.Find(u"user32");
  ASSERT_EQ(user32.functions.size(), 5u);
  EXPECT_EQ(user32.functions[0].Return, u"HDC");
  EXPECT_EQ(user32.functions[0].Parameters, u"_In_opt_ HWND hWnd");
  EXPECT_EQ(user32.functions[0].Group, u"Device Contexts");
  EXPECT_EQ(user32.functions[1].checked, 0) << "a function the set lacks ends unticked";
  for (std::size_t row = 2; row < 5; ++row) {
    const ApiFunction& record = user32.functions[row];
    EXPECT_EQ(record.Return, u"INT") << TextToUtf8(record.Function);
    EXPECT_NE(record.Parameters.find(u"_In_ UINT uType"), Text::npos) << TextToUtf8(record.Function);
    EXPECT_EQ(record.checked, 1) << TextToUtf8(record.Function);
    EXPECT_EQ(program.gui.RowText(kFunctionList, static_cast<int>(row), 2), record.Return);
  }
  EXPECT_EQ(program.gui.GetStatusText(kStatusMessage), u" Ready...");

  program.gui.Click(kExportPb);
  program.Pump();
  program.gui.SetText(kExportRoot, u"D:\\PB\\");
  program.gui.Click(kExportRun);
  program.Pump();

  const std::string listing = program.files.Contents(kListing);
  for (const char* name : {"GetDC (", "MessageBoxA (", "MessageBoxW (", "AbortDoc (hdc)"}) {
    EXPECT_NE(listing.find(std::string("\r\n") + name), std::string::npos) << name << " in\n" << listing;
  }
  EXPECT_EQ(listing.find("Hidden"), std::string::npos) << listing;
  EXPECT_TRUE(program.files.FileExists(u"D:\\PB\\PureLibraries\\Windows\\USER32"));
  EXPECT_TRUE(program.files.FileExists(u"D:\\PB\\PureLibraries\\Windows\\Libraries\\user32.lib"));
  ASSERT_FALSE(program.gui.Messages().empty());
  EXPECT_EQ(program.gui.Messages().back().text.substr(0, 16), u"Export finished!");
}

}  // namespace
}  // namespace korvane
