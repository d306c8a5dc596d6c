// The batch lookup on the real window: two of Debian's mingw-w64 import libraries, a few functions
// ticked, pages fetched with WinHTTP from a local server that answers the documentation search and the
// reference pages. A screenshot is saved while the batch runs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/batch_lookup.h"
#include "app/lookup_commands.h"
#include "app/program_numbers.h"
#include "helpers/documentation_pages.h"
#include "helpers/fixtures.h"
#include "platform/http_page_source.h"
#include "platform/local_http_server.h"
#include "win32/program_windows.h"
#include "win32/screenshot.h"

namespace korvane {
namespace {

constexpr char kLibrary32[] = "/usr/i686-w64-mingw32/lib/libuser32.a";
constexpr char kLibrary64[] = "/usr/x86_64-w64-mingw32/lib/libgdi32.a";

// Pages come slowly enough to be seen running; searches for the name in `hang` are never answered.
HttpReply DocumentationPage(const std::string& target, const std::string& hang) {
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  if (target.starts_with("/search/") && testing::QueryName(target) == hang) return {200, {}, {}, true};
  return testing::DocumentationPage(target);
}

class LookupWindowTest : public test::ProgramWindowsTest {
 protected:
  void SetUp() override {
    if (!testing::HostFileExists(kLibrary32) || !testing::HostFileExists(kLibrary64)) {
      GTEST_SKIP() << "Debian's mingw-w64 import libraries are not installed";
    }
    test::PrepareProcessLikeTheProgram();
    BuildMainWindow(session_);
    server_ = LocalHttpServer::Start([this](const std::string& target) { return DocumentationPage(target, hang_); });
    ASSERT_NE(server_, nullptr);
    source_ = MakeHttpPageSource(PageLoadsToEventLoop(session_));
    session_.lookup.source = source_.get();
    const Text base = Utf8ToText(server_->Address(""));
    session_.lookup.endpoints = {base, base};
    gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0,
                     testing::HostPath(kLibrary64) + u"\n" + testing::HostPath(kLibrary32)});
    DispatchPending();
    DispatchPending();
  }

  void TearDown() override {
    EndBatchLookup(session_);
    session_.lookup.source = nullptr;
    source_.reset();
    gui_.SetSizeHandler({});
  }

  // Leaves the first `count` functions without an ANSI/wide pair ticked in the shown library.
  std::vector<std::size_t> TickFirstPlainFunctions(std::size_t count) {
    gui_.QueueEvent({kEventControl, kMainWindow, kCheckNone, kTypeClick, {}});
    DispatchPending();
    std::vector<std::size_t> ticked;
    const LibraryEntry& shown = *session_.catalogue.Shown();
    for (std::size_t i = 0; i < shown.functions.size() && ticked.size() < count; ++i) {
      if (!shown.functions[i].AnsiUni.empty() || !shown.functions[i].Return.empty()) continue;
      ListView_SetCheckState(gui_.ControlHandle(kFunctionList), static_cast<int>(i), TRUE);
      ticked.push_back(i);
    }
    return ticked;
  }

  void ShowLibraryRow(int row) {
    ListView_SetItemState(gui_.ControlHandle(kLibrariesList), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    DispatchPending();
  }

  std::string hang_;
  std::unique_ptr<LocalHttpServer> server_;
  std::unique_ptr<PageSource> source_;
};

TEST_F(LookupWindowTest, BatchFillsTheTickedFunctionsOfBothLibraries) {
  // Case-insensitive order puts '/usr/i686...' first: row 0 is user32, row 1 gdi32.
  const LibraryEntry* user32 = session_.catalogue.Find(u"libuser32");
  const LibraryEntry* gdi32 = session_.catalogue.Find(u"libgdi32");
  ASSERT_TRUE(user32 != nullptr && gdi32 != nullptr);
  ASSERT_EQ(session_.catalogue.Shown(), user32);
  const std::vector<std::size_t> userTicked = TickFirstPlainFunctions(3);
  ShowLibraryRow(1);
  ASSERT_EQ(session_.catalogue.Shown(), gdi32);
  const std::vector<std::size_t> gdiTicked = TickFirstPlainFunctions(2);
  ShowLibraryRow(0);

  bool captured = false;
  Text runningMessage;
  RunBatch([&](const Event& event) {
    if (captured || event.kind != kEventPageLoaded || session_.catalogue.Shown() != gdi32) return;
    EXPECT_EQ(gui_.GetText(kMsdnChecked), u"Stop Update");
    EXPECT_FALSE(IsWindowEnabled(gui_.ControlHandle(kLoadLibs)));
    // The function list was raised above its siblings (the browser control among them).
    EXPECT_EQ(GetWindow(gui_.ControlHandle(kFunctionList), GW_HWNDPREV), nullptr);
    runningMessage = gui_.GetStatusText(kStatusMessage);
    RedrawWindow(gui_.WindowHandle(kMainWindow), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    const test::Capture capture = test::CaptureWindow(gui_.WindowHandle(kMainWindow));
    EXPECT_TRUE(test::SaveScreenshot(capture, L"main-batch-lookup"));
    captured = true;
  });
  EXPECT_TRUE(captured);
  EXPECT_NE(runningMessage.find(u" Looking up "), Text::npos) << TextToUtf8(runningMessage);
  EXPECT_NE(runningMessage.find(u" of 5)..."), Text::npos) << TextToUtf8(runningMessage);

  for (const auto& [entry, ticked] : {std::pair{user32, userTicked}, std::pair{gdi32, gdiTicked}}) {
    for (std::size_t i : ticked) {
      const ApiFunction& record = entry->functions[i];
      EXPECT_EQ(record.Return, u"BOOL") << TextToUtf8(record.Function);
      EXPECT_EQ(record.Parameters, u"_In_ HWND hWnd") << TextToUtf8(record.Function);
      EXPECT_EQ(record.checked, 1) << TextToUtf8(record.Function);
    }
  }
  // The last library stays shown, its rows filled, the button back.
  EXPECT_EQ(session_.catalogue.Shown(), gdi32);
  EXPECT_EQ(session_.catalogue.shownLibraryRow, 1);
  EXPECT_EQ(gui_.RowText(kFunctionList, static_cast<int>(gdiTicked[0]), 2), u"BOOL");
  EXPECT_TRUE(ListView_GetCheckState(gui_.ControlHandle(kFunctionList), static_cast<int>(gdiTicked[0])));
  EXPECT_EQ(gui_.GetText(kMsdnChecked), u"msdn Checked");
  EXPECT_TRUE(IsWindowEnabled(gui_.ControlHandle(kMsdnChecked)));
  EXPECT_TRUE(IsWindowEnabled(gui_.ControlHandle(kLoadLibs)));
  EXPECT_EQ(gui_.GetStatusText(kStatusMessage), u" Ready...") << TextToUtf8(gui_.GetStatusText(kStatusMessage));

  // After the batch a selected row opens the editor again; a single lookup fills it.
  ListView_SetItemState(gui_.ControlHandle(kFunctionList), 0, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  DispatchPending();
  DispatchPending();
  EXPECT_TRUE(IsWindowVisible(gui_.ControlHandle(kDetailPanel)));
  EXPECT_TRUE(IsWindowEnabled(gui_.ControlHandle(kMsdnSelected)));
}

TEST_F(LookupWindowTest, StopUpdateEndsABatchWhosePageNeverComes) {
  const std::vector<std::size_t> ticked = TickFirstPlainFunctions(2);
  ASSERT_EQ(ticked.size(), 2u);
  hang_ = TextToUtf8(session_.catalogue.Shown()->functions[ticked[0]].Function);
  bool pressed = false;
  // The batch selects the function's row as it starts its lookup.
  RunBatch([&](const Event& event) {
    if (pressed || event.control != kFunctionList) return;
    gui_.QueueEvent({kEventControl, kMainWindow, kMsdnChecked, kTypeClick, {}});
    pressed = true;
  });
  EXPECT_TRUE(pressed);
  EXPECT_EQ(source_->Busy(), true);  // the first search never came back
  EXPECT_EQ(gui_.GetText(kMsdnChecked), u"msdn Checked");
  EXPECT_TRUE(IsWindowEnabled(gui_.ControlHandle(kMsdnChecked)));
  // Neither function was filled: the first never got its page, the second was never started.
  for (std::size_t i : ticked) EXPECT_TRUE(session_.catalogue.Shown()->functions[i].Return.empty());
}

}  // namespace
}  // namespace korvane
