// The program's own commands on the real windows: two of Debian's mingw-w64 import libraries (one
// 32-bit, one 64-bit) dropped on the main window, read from disk, listed, switched and ticked through
// real list view notifications. A screenshot of the result is saved to look at.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "app/event_loop.h"
#include "app/program.h"
#include "catalogue/catalogue_files.h"
#include "app/library_commands.h"
#include "app/program_numbers.h"
#include "helpers/fixtures.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/letter_case.h"
#include "win32/screenshot.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

constexpr char kLibrary32[] = "/usr/i686-w64-mingw32/lib/libuser32.a";
constexpr char kLibrary64[] = "/usr/x86_64-w64-mingw32/lib/libgdi32.a";

class ProgramFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::HostFileExists(kLibrary32) || !testing::HostFileExists(kLibrary64)) {
      GTEST_SKIP() << "Debian's mingw-w64 import libraries are not installed";
    }
    test::PrepareProcessLikeTheProgram();
    BuildMainWindow(session_);
    // Let the shown window handle what its creation queued (sizes, first paint).
    DispatchPending();
  }

  void TearDown() override { gui_.SetSizeHandler({}); }

  // Runs the loop's dispatch over everything pending now.
  void DispatchPending() {
    for (const Event& event : test::PendingEvents(gui_)) {
      if (event.window == kMainWindow) DispatchMainWindowEvent(session_, event);
    }
  }

  HWND List(int number) { return gui_.ControlHandle(number); }

  Win32Gui gui_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<FileSystem> files_ = MakeDiskFileSystem();
  RecordingShell shell_;
  FixedClock clock_;
  Platform platform_{gui_, dialogs_, *files_, shell_, clock_, DecodeSystemAnsi, SystemUpperCase};
  Session session_{platform_};
};

TEST_F(ProgramFlowTest, DroppedLibrariesFillTheListsAndTicksReachTheRecords) {
  const Text dropped = testing::HostPath(kLibrary64) + u"\n" + testing::HostPath(kLibrary32);
  gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, dropped});
  DispatchPending();
  DispatchPending();  // what the load queued: the layout and the list selection

  // Case-insensitive order puts '/usr/i686...' first: the 32-bit user32 is the shown library.
  const LibraryEntry* user32 = session_.catalogue.Find(u"libuser32");
  ASSERT_NE(user32, nullptr);
  ASSERT_EQ(session_.catalogue.Shown(), user32);
  EXPECT_EQ(user32->x86, 1);
  const auto rows = static_cast<int>(ListView_GetItemCount(List(kFunctionList)));
  EXPECT_EQ(rows, static_cast<int>(user32->functions.size()));
  EXPECT_EQ(ListView_GetItemCount(List(kLibrariesList)), 2);
  EXPECT_TRUE(IsWindowVisible(List(kLibrariesList)));
  EXPECT_EQ(gui_.GetStatusText(kStatusCount), FunctionCountText(user32->functions.size()));
  EXPECT_TRUE(IsWindowEnabled(gui_.ControlHandle(kCheckAll)));
  EXPECT_EQ(gui_.GetText(kArchitecture), u"x86");  // the shown library's, though the 64-bit one was read last

  // A real notification from the list view reaches the record at the same position.
  ListView_SetCheckState(List(kFunctionList), 5, FALSE);
  EXPECT_EQ(user32->functions[5].checked, 0);
  ListView_SetCheckState(List(kFunctionList), 5, TRUE);
  EXPECT_EQ(user32->functions[5].checked, 1);

  // Selecting the second library shows the 64-bit gdi32.
  ListView_SetItemState(List(kLibrariesList), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  DispatchPending();
  const LibraryEntry* gdi32 = session_.catalogue.Find(u"libgdi32");
  ASSERT_NE(gdi32, nullptr);
  EXPECT_EQ(session_.catalogue.Shown(), gdi32);
  EXPECT_EQ(gui_.GetText(kArchitecture), u"x64");
  EXPECT_EQ(ListView_GetItemCount(List(kFunctionList)), static_cast<int>(gdi32->functions.size()));

  // Select a function: the detail editor opens below the list.
  ListView_SetItemState(List(kFunctionList), 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  DispatchPending();
  DispatchPending();
  EXPECT_TRUE(IsWindowVisible(gui_.ControlHandle(kDetailPanel)));
  EXPECT_EQ(gui_.GetText(kDetailFunction), gdi32->functions[2].Function);

  // Save upper-cases the typed return type with the system's letter-case mapping, beyond Latin-1.
  gui_.SetText(kDetailReturn, u"\u00FF \u03B1\u03B2\u03B3 \u0430\u0431\u0432 dword");
  SendMessageW(gui_.ControlHandle(kDetailSave), BM_CLICK, 0, 0);
  DispatchPending();
  EXPECT_EQ(TextToUtf8(gdi32->functions[2].Return), TextToUtf8(u"\u0178 \u0391\u0392\u0393 \u0410\u0411\u0412 DWORD"));

  RedrawWindow(gui_.WindowHandle(kMainWindow), nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  DispatchPending();
  const test::Capture capture = test::CaptureWindow(gui_.WindowHandle(kMainWindow));
  EXPECT_GT(test::DistinctColours(capture), 8u);
  EXPECT_TRUE(test::SaveScreenshot(capture, L"main-two-libraries"));
}

// What the screen shows right after a refill, without a further repaint: a list scrolled to its end
// and then given another library starts cleanly at its first row (no stale rows, no half row), and the
// detail editor leaves no lines in the gap between the two lists when a refill hides it.
TEST_F(ProgramFlowTest, RefillsLeaveNoStalePixels) {
  gui_.ShowWindow(kMainWindow, true);
  const Text both = testing::HostPath(kLibrary64) + u"\n" + testing::HostPath(kLibrary32);
  gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, both});
  DispatchPending();
  DispatchPending();
  HWND list = List(kFunctionList);
  // End, then a row selected: the detail editor opens under the list.
  const int rows = ListView_GetItemCount(list);
  ASSERT_GT(rows, 100);
  ListView_EnsureVisible(list, rows - 1, FALSE);
  ListView_SetItemState(list, rows - 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  DispatchPending();
  DispatchPending();
  ASSERT_TRUE(IsWindowVisible(gui_.ControlHandle(kDetailPanel)));
  UpdateWindow(gui_.WindowHandle(kMainWindow));
  // Another library: the refill hides the editor and replaces every row.
  ListView_SetItemState(List(kLibrariesList), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  DispatchPending();
  DispatchPending();
  RedrawWindow(gui_.WindowHandle(kMainWindow), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const test::Capture capture = test::CaptureWindow(gui_.WindowHandle(kMainWindow));
  EXPECT_TRUE(test::SaveScreenshot(capture, L"main-after-end-and-another-library"));

  EXPECT_EQ(ListView_GetTopIndex(list), 0);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 0);
  // The first row stands where Home puts it.
  RECT first{};
  ListView_GetItemRect(list, 0, &first, LVIR_BOUNDS);
  SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
  RECT afterHome{};
  ListView_GetItemRect(list, 0, &afterHome, LVIR_BOUNDS);
  EXPECT_EQ(first.top, afterHome.top) << "the first row is not the top row";

  // The gap between the function list and the Libraries list, below the header, is plain background.
  RECT outer{};
  GetWindowRect(gui_.WindowHandle(kMainWindow), &outer);
  RECT functions{};
  RECT libraries{};
  GetWindowRect(list, &functions);
  GetWindowRect(List(kLibrariesList), &libraries);
  ASSERT_LT(functions.right, libraries.left);
  const COLORREF background = GetSysColor(COLOR_BTNFACE);
  int stray = 0;
  for (LONG y = functions.top; y < functions.bottom; ++y) {
    for (LONG x = functions.right; x < libraries.left; ++x) {
      const int cx = x - outer.left;
      const int cy = capture.height - 1 - (y - outer.top);  // the capture's rows run bottom up
      const std::uint8_t* pixel = &capture.bgr[static_cast<std::size_t>(cy * capture.stride + cx * 3)];
      if (RGB(pixel[2], pixel[1], pixel[0]) != background) ++stray;
    }
  }
  EXPECT_EQ(stray, 0) << "pixels in the gap between the lists are not background";
}

// Presses OK on the program's message boxes (caption "Korvane") from another thread, as a user would;
// counts how many it closed.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer()
      : thread_([this] {
          while (!stop_) {
            if (HWND box = FindWindowW(L"#32770", L"Korvane")) {
              // Counted before the answer: once the box is gone the test may read the count at once.
              ++closed_;
              SendMessageW(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(50);
          }
        }) {}
  ~MessageBoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  int Closed() const { return closed_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> closed_{0};
  std::thread thread_;
};

TEST_F(ProgramFlowTest, SaveXmlThenLoadXmlThroughTheRealWindow) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"korvane catalogue test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::u8string folderUtf8 = folder.u8string();
  session_.catalogueFolder = Utf8ToText(std::string(folderUtf8.begin(), folderUtf8.end())) + u"\\";

  gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, testing::HostPath(kLibrary64)});
  DispatchPending();
  DispatchPending();
  ListView_SetCheckState(List(kFunctionList), 0, FALSE);  // one function unticked by the user
  {
    MessageBoxAnswerer answerer;
    gui_.QueueEvent({kEventControl, kMainWindow, kSaveXml, kTypeClick, {}});
    DispatchPending();
    EXPECT_EQ(answerer.Closed(), 1);
  }
  std::vector<Text> saved;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::u8string name = file.path().u8string();
    saved.push_back(Utf8ToText(std::string(name.begin(), name.end())));
  }
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(LibraryFileNameFromCatalogueFile(saved[0]), u"libgdi32.a");

  const std::size_t functions = session_.catalogue.Shown()->functions.size();
  dialogs_.AnswerOpenFiles(saved);
  gui_.QueueEvent({kEventControl, kMainWindow, kLoadXml, kTypeClick, {}});
  DispatchPending();
  ASSERT_NE(session_.catalogue.Shown(), nullptr);
  EXPECT_EQ(session_.catalogue.Shown()->functions.size(), functions);
  EXPECT_EQ(ListView_GetItemCount(List(kFunctionList)), static_cast<int>(functions));
  EXPECT_FALSE(ListView_GetCheckState(List(kFunctionList), 0));
  EXPECT_TRUE(ListView_GetCheckState(List(kFunctionList), 1));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korvane
