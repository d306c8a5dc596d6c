// The main window fits the screen: it opens inside the work area, its minimum size does not hold it
// wider than the screen (maximised too), and laid out to the size it has, no button lies under
// another or beyond the edge and the status bar's message field holds a lookup's progress text. Runs
// at the screen's resolution, and again in child processes at 120 and 144 pixels per inch on the
// 1280 x 1024 screen, where the designed window is wider than the screen (resolution_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program_numbers.h"
#include "helpers/fixtures.h"
#include "win32/program_windows.h"

namespace korvane {
namespace {

// Before the platform exists: Win32Gui reads the resolution when it is made.
struct PreparedProcess {
  PreparedProcess() { test::PrepareProcessLikeTheProgram(); }
};

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

int TextWidth(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

class ScreenFit : public PreparedProcess, public test::ProgramWindowsTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ResolutionAsTheParentAsked()) << "the display resolution was not changed";
    BuildMainWindow(session_);
    DispatchPending();
    window_ = gui_.WindowHandle(kMainWindow);
  }
  void TearDown() override { gui_.SetSizeHandler({}); }

  // What the user sees at the window's present size: the buttons along the top in order, none under
  // the next or beyond the client area, and the message field wide enough for a lookup's progress.
  void ExpectEverythingInSight(const char* when) {
    SCOPED_TRACE(when);
    RECT client{};
    GetClientRect(window_, &client);
    const int top[] = {kLoadLibs, kLoadXml, kOptionsButton, kMsdnChecked, kMsdnSelected,
                       kMergeXml, kSaveXml, kExportPb, kDonation};
    for (std::size_t i = 0; i + 1 < std::size(top); ++i) {
      const Rect here = test::WindowsRect(gui_.ControlHandle(top[i]));
      const Rect next = test::WindowsRect(gui_.ControlHandle(top[i + 1]));
      EXPECT_LE(here.x + here.width, next.x) << "control " << top[i] << " runs under control " << top[i + 1];
    }
    const Rect donation = test::WindowsRect(gui_.ControlHandle(kDonation));
    EXPECT_LE(donation.x + donation.width, client.right);
    HWND bar = gui_.StatusBarHandle(kMainWindow);
    int edges[8] = {};
    const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    ASSERT_EQ(parts, 5);
    for (int i = 0; i + 1 < parts; ++i) EXPECT_LE(edges[i], client.right) << "status field " << i;
    RECT message{};
    SendMessageW(bar, SB_GETRECT, kStatusMessage, reinterpret_cast<LPARAM>(&message));
    const int room = message.right - message.left - 2 * GetSystemMetrics(SM_CXEDGE);
    EXPECT_GE(room, TextWidth(bar, L" Looking up CredProfileUnloaded (194 of 1960)..."));
  }

  HWND window_ = nullptr;
};

TEST_F(ScreenFit, TheWindowOpensInsideTheWorkAreaAndKeepsItsControlsInSight) {
  const RECT work = WorkArea();
  RECT outer{};
  GetWindowRect(window_, &outer);
  EXPECT_GE(outer.left, work.left);
  EXPECT_GE(outer.top, work.top);
  EXPECT_LE(outer.right, work.right);
  EXPECT_LE(outer.bottom, work.bottom);
  ExpectEverythingInSight("as opened");

  // The minimum size the window asks for fits the work area, so maximised it is no wider either.
  MINMAXINFO limits{};
  SendMessageW(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_LE(limits.ptMinTrackSize.x, work.right - work.left);
  EXPECT_LE(limits.ptMinTrackSize.y, work.bottom - work.top);
  ShowWindow(window_, SW_MAXIMIZE);
  DispatchPending();
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_LE(client.right, work.right - work.left);
  ExpectEverythingInSight("maximised");
  ShowWindow(window_, SW_RESTORE);
}

// The editor's one-line fields are filled before the editor is first shown; their text must be in
// sight once it shows, not scrolled away while the field had no width.
TEST_F(ScreenFit, TheEditorShowsTheFirstSelectedRowsTexts) {
  constexpr char kLibrary[] = "/usr/x86_64-w64-mingw32/lib/libgdi32.a";
  if (!testing::HostFileExists(kLibrary)) GTEST_SKIP() << "Debian's mingw-w64 import libraries are not installed";
  gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, testing::HostPath(kLibrary)});
  DispatchPending();
  DispatchPending();
  ApiFunction& first = session_.catalogue.Shown()->functions[0];
  first.Parameters = u"_In_ HDC hdc, _In_ int x, _In_ int y";
  first.Website = u"https://docs.example/en-us/library/first.aspx";
  gui_.SelectRow(kFunctionList, 0);
  DispatchPending();
  DispatchPending();
  for (const int field : {kDetailParameters, kDetailWebsite}) {
    HWND control = gui_.ControlHandle(field);
    EXPECT_FALSE(gui_.GetText(field).empty());
    EXPECT_EQ(SendMessageW(control, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "field " << field << " scrolled its text away";
    EXPECT_GT(test::WindowsRect(control).width, 0);
  }
}

}  // namespace
}  // namespace korvane
