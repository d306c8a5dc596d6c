// The whole road without a network through the real windows: a documentation set beside the program
// answers "msdn Checked" for a Debian mingw-w64 import library dropped on the main window, and the
// export window then writes the found declarations into an installation typed into its root field.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/batch_lookup.h"
#include "app/export_commands.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "docs/offline_page_source.h"
#include "helpers/fixtures.h"
#include "lookup/search_page.h"
#include "win32/program_windows.h"
#include "win32/screenshot.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

// Five functions: AlphaBlend, DllInitialize, GradientFill, TransparentBlt, vSetDdrawflag.
constexpr char kMsimg32[] = "/usr/x86_64-w64-mingw32/lib/libmsimg32.a";

// Two of them in the set, every parameter "_In_" there; the description is one paragraph.
struct SetFunction {
  std::string name;
  std::vector<std::string> parameters;  // without the annotation
  std::string description;
};
const std::vector<SetFunction> kFound = {
    {"AlphaBlend", {"HDC hdcDest", "int xoriginDest", "int yoriginDest", "int wDest", "int hDest", "HDC hdcSrc",
                    "int xoriginSrc", "int yoriginSrc", "int wSrc", "int hSrc", "BLENDFUNCTION ftn"},
     "Displays bitmaps that have transparent or semitransparent pixels."},
    {"GradientFill", {"HDC hdc", "PTRIVERTEX pVertex", "ULONG nVertex", "PVOID pMesh", "ULONG nMesh", "ULONG ulMode"},
     "Fills rectangle and triangle structures."},
};

std::string Joined(const std::vector<std::string>& parameters, const std::string& annotation) {
  std::string text;
  for (const std::string& p : parameters) text += (text.empty() ? "" : ", ") + annotation + p;
  return text;
}

// The set as the builder writes it: a group of the two, and a group with another library's function.
std::string SetXml() {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<korvane-docs version=\"1\">\n <group title=\"Bitmaps\">\n";
  for (const SetFunction& f : kFound) {
    xml += "  <function name=\"" + f.name + "\" return=\"BOOL\" header=\"wingdi.h\" library=\"Msimg32\">\n";
    for (const std::string& p : f.parameters) xml += "   <param>_In_ " + p + "</param>\n";
    xml += "   <description>" + f.description + "</description>\n  </function>\n";
  }
  return xml + " </group>\n <group title=\"Device Contexts\">\n  <function name=\"GetDC\" return=\"HDC\" "
               "header=\"winuser.h\" library=\"User32\"><param>_In_opt_ HWND hWnd</param></function>\n"
               " </group>\n</korvane-docs>\n";
}

// The folder of this test program, as Windows names it: where a user keeps Korvane.docs beside Korvane.exe.
fs::path ThisProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

class OfflineLookupExportTest : public test::ProgramWindowsTest {
 protected:
  void SetUp() override {
    if (!testing::HostFileExists(kMsimg32)) GTEST_SKIP() << "Debian's mingw-w64 import libraries are not installed";
    test::PrepareProcessLikeTheProgram();
    docs_ = ThisProgramFolder() / "Korvane.docs";
    std::ofstream(docs_, std::ios::binary) << SetXml();
    root_ = fs::temp_directory_path() / "korvane offline export";
    fs::remove_all(root_);
    fs::create_directories(root_ / "PureLibraries" / "Windows" / "Libraries");
    fs::create_directories(root_ / "Compilers");
    std::ofstream(root_ / "Compilers" / "APIFunctionListing.txt", std::ios::binary)
        << "4\r\nAbortDoc (hdc)\r\nAlphaBlend (old)\r\nvSetDdrawflag (old)\r\nZwClose (Handle)\r\n";
    BuildMainWindow(session_);
    ApplyExportSettings(session_);
    PageSourceMakers makers;
    const std::wstring folder = ThisProgramFolder().wstring() + L"\\";  // as the program passes its own
    makers.programFolder.assign(folder.begin(), folder.end());
    session_.lookup.source = ChoosePageSource(session_, makers, owned_);
    ASSERT_NE(dynamic_cast<OfflinePageSource*>(session_.lookup.source), nullptr) << "the set beside the program";
  }
  void TearDown() override {
    EndBatchLookup(session_);
    session_.lookup.source = nullptr;
    owned_.reset();
    gui_.SetSizeHandler({});
    fs::remove(docs_);
    fs::remove_all(root_);
  }

  std::unique_ptr<PageSource> owned_;
  fs::path docs_, root_;
};

TEST_F(OfflineLookupExportTest, TheSetBesideTheProgramFillsTheRowsAndTheExportWindowWritesThem) {
  gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, testing::HostPath(kMsimg32)});
  DispatchPending();
  DispatchPending();  // what the load queued
  const LibraryEntry* shown = session_.catalogue.Shown();
  ASSERT_TRUE(shown != nullptr && shown->functions.size() == 5u);

  RunBatch();
  EXPECT_EQ(session_.lookup.state.load(), LookupState::Idle);
  EXPECT_EQ(gui_.GetStatusText(kStatusMessage), kReadyText) << TextToUtf8(gui_.GetStatusText(kStatusMessage));
  EXPECT_EQ(gui_.GetText(kMsdnChecked), u"msdn Checked");
  RedrawWindow(gui_.WindowHandle(kMainWindow), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  EXPECT_TRUE(test::SaveScreenshot(test::CaptureWindow(gui_.WindowHandle(kMainWindow)), L"offline-batch-lookup"));

  // Found functions: filled and still ticked, in the record and on the screen; the others unticked.
  // (Description, group and address show in the listing below.)
  HWND list = gui_.ControlHandle(kFunctionList);
  for (std::size_t row = 0; row < shown->functions.size(); ++row) {
    const ApiFunction& record = shown->functions[row];
    const std::string name = TextToUtf8(record.Function);
    const auto found = std::find_if(kFound.begin(), kFound.end(), [&](const SetFunction& f) { return f.name == name; });
    const bool ticked = ListView_GetCheckState(list, static_cast<int>(row)) != 0;
    if (found == kFound.end()) {
      EXPECT_TRUE(record.Return.empty() && record.Parameters.empty()) << name;
      EXPECT_EQ(record.checked, 0) << name;
      EXPECT_FALSE(ticked) << name;
      continue;
    }
    EXPECT_EQ(record.Parameters, Utf8ToText(Joined(found->parameters, "_In_ "))) << name;
    EXPECT_EQ(record.Return, u"BOOL") << name;
    EXPECT_EQ(record.checked, 1) << name;
    EXPECT_TRUE(ticked) << name;
    EXPECT_EQ(gui_.RowText(kFunctionList, static_cast<int>(row), 1), u"( " + record.Parameters + u" )") << name;
    EXPECT_EQ(gui_.RowText(kFunctionList, static_cast<int>(row), 2), u"BOOL") << name;
  }

  // "Export PB", the installation typed into the root field, "Export", the closing message answered.
  Press(kExportPb);
  HWND field = FindWindowExW(gui_.ControlHandle(kExportRoot), nullptr, L"Edit", nullptr);
  ASSERT_NE(field, nullptr);
  for (const wchar_t c : root_.wstring()) SendMessageW(field, WM_CHAR, c, 0);
  DispatchPending();
  std::vector<std::wstring> messages;
  {
    test::MessageBoxReader reader;
    Press(kExportRun);
    messages = reader.Texts();
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].find(L"Export finished!"), 0u) << std::string(messages[0].begin(), messages[0].end());

  // The listing: the library's imports replaced by its found functions, declared from the set.
  std::string expected = std::to_string(2 + kFound.size()) + "\r\nAbortDoc (hdc)\r\n";
  for (const SetFunction& f : kFound) {
    expected += f.name + " ( " + Joined(f.parameters, "In ") + " )  BOOL  |  " + f.description + "  |  Bitmaps  |  " +
                TextToUtf8(LookupEndpoints{}.libraryBase) + "/en-us/library/" + f.name + ".aspx\r\n";
  }
  expected += "ZwClose (Handle)\r\n";
  const std::string listing = test::Slurp(root_ / "Compilers" / "APIFunctionListing.txt");
  EXPECT_EQ(listing, expected);
  EXPECT_NE(listing.find("\r\nGradientFill ( In HDC hdc, In PTRIVERTEX pVertex, In ULONG nVertex, In PVOID pMesh, "
                         "In ULONG nMesh, In ULONG ulMode )  BOOL  |  Fills rectangle and triangle structures.  |  "
                         "Bitmaps  |  https://msdn.microsoft.com/en-us/library/GradientFill.aspx\r\n"),
            std::string::npos);

  // The descriptor: header, name, then each found function with its argument count and no name variant.
  std::string descriptor("ERUPLLDE\x03\0\0\0\0LIBMSIMG32\0", 24);
  for (const SetFunction& f : kFound) {
    descriptor += f.name + '\0' + static_cast<char>(f.parameters.size()) + '\0';
  }
  EXPECT_EQ(test::Slurp(root_ / "PureLibraries" / "Windows" / "LIBMSIMG32"), descriptor);
  const Text library = testing::HostPath(kMsimg32);
  EXPECT_EQ(test::Slurp(root_ / "PureLibraries" / "Windows" / "Libraries" / "libmsimg32.a"),
            test::Slurp(std::wstring(library.begin(), library.end())));
}

}  // namespace
}  // namespace korvane
