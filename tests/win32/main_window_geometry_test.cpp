// The main window as Windows reports it after Win32Gui built it from its table: every control's
// rectangle, the window's inner and minimum size, the list columns, the status bar fields and the font,
// at the screen resolution the test process runs at. These tests run at 96 pixels per inch, and again
// in a child process at 120 (see resolution_test.cpp), each against the values for its resolution.
#include <cstdlib>
#include <string>

#include "app/program_numbers.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

// Picks the expected value for the screen's resolution.
template <typename T>
struct ByResolution {
  T at96;
  T at120;
  T For(int dpi) const { return dpi == 120 ? at120 : at96; }
};

class MainWindowGeometry : public test::MainWindowTest {
 protected:
  void SetUp() override {
    test::MainWindowTest::SetUp();
    dpi_ = test::ScreenPixelsPerInch();
    // Run by resolution_test.cpp at another resolution: check that it took effect, and say so.
    ASSERT_TRUE(test::ResolutionAsTheParentAsked()) << "the display resolution was not changed";
    if (dpi_ != 96 && dpi_ != 120) GTEST_SKIP() << "no expected values for " << dpi_ << " pixels per inch";
  }

  int dpi_ = 96;
};

TEST_F(MainWindowGeometry, ScaleFactorsComeFromTheScreen) {
  const Scale scale = gui_->ScreenScale();
  const double factor = dpi_ == 120 ? 1.25 : 1.0;
  EXPECT_DOUBLE_EQ(scale.x, factor);
  EXPECT_DOUBLE_EQ(scale.y, factor);
}

TEST_F(MainWindowGeometry, EveryControlIsWhereItsTableRowPutsIt) {
  struct Case {
    int number;
    int parent;  // -1: the window
    ByResolution<Rect> rect;
  };
  // At 120 pixels per inch every design value is multiplied by 1.25 and rounded half to even (12.5
  // gives 12, 37.5 gives 38); values measured from the right or bottom edge are rounded once.
  const Case cases[] = {
      {kLoadLibs, -1, {{4, 10, 100, 27}, {5, 12, 125, 34}}},
      {kLoadXml, -1, {{108, 10, 100, 27}, {135, 12, 125, 34}}},
      {kOptionsButton, -1, {{222, 17, 20, 16}, {278, 21, 25, 20}}},
      {kMsdnChecked, -1, {{254, 10, 100, 27}, {318, 12, 125, 34}}},
      {kMsdnSelected, -1, {{358, 10, 100, 27}, {448, 12, 125, 34}}},
      {kMergeXml, -1, {{502, 10, 100, 27}, {628, 12, 125, 34}}},
      {kSaveXml, -1, {{606, 10, 100, 27}, {758, 12, 125, 34}}},
      {kExportPb, -1, {{750, 10, 100, 27}, {938, 12, 125, 34}}},
      {kDonation, -1, {{854, 10, 32, 27}, {1067, 12, 40, 34}}},  // inner width - 36 units
      {kCheckAll, -1, {{8, 46, 20, 18}, {10, 58, 25, 22}}},
      {kCheckNone, -1, {{32, 46, 20, 18}, {40, 58, 25, 22}}},
      {kCheckInvert, -1, {{56, 46, 20, 18}, {70, 58, 25, 22}}},
      {kCheckFilled, -1, {{80, 46, 20, 18}, {100, 58, 25, 22}}},
      {kArchitecture, -1, {{104, 46, 36, 18}, {130, 58, 45, 22}}},
      {kLibraryPath, -1, {{141, 46, 0, 18}, {176, 58, 0, 22}}},
      {kFunctionList, -1, {{4, 68, 882, 492}, {5, 85, 1102, 615}}},  // inner size - 8, - 72 units
      {kLibrariesList, -1, {{0, 0, 0, 0}, {0, 0, 0, 0}}},
      {kDetailPanel, -1, {{0, 0, 0, 0}, {0, 0, 0, 0}}},
      {kDetailFunction, kDetailPanel, {{4, 4, 224, 18}, {5, 5, 280, 22}}},
      {kDetailParameters, kDetailPanel, {{230, 4, 0, 18}, {288, 5, 0, 22}}},
      {kDetailReturn, kDetailPanel, {{0, 4, 114, 18}, {0, 5, 142, 22}}},
      {kDetailDescription, kDetailPanel, {{4, 24, 0, 46}, {5, 30, 0, 58}}},
      {kDetailGroup, kDetailPanel, {{4, 72, 224, 18}, {5, 90, 280, 22}}},
      {kDetailWebsite, kDetailPanel, {{230, 72, 0, 18}, {288, 90, 0, 22}}},
      {kDetailSave, kDetailPanel, {{0, 72, 57, 18}, {0, 90, 71, 22}}},
      {kDetailClear, kDetailPanel, {{0, 72, 56, 18}, {0, 90, 70, 22}}},
      {kBrowser, -1, {{4, 340, 882, 200}, {4, 340, 1104, 200}}},  // pixels, not scaled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("control " + std::to_string(c.number));
    HWND control = Control(c.number);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), c.number);
    EXPECT_EQ(GetParent(control), c.parent < 0 ? window_ : Control(c.parent));
    EXPECT_EQ(test::WindowsRect(control), c.rect.For(dpi_));
    EXPECT_EQ(gui_->GetRect(c.number), c.rect.For(dpi_));
  }
}

TEST_F(MainWindowGeometry, WindowHasTheScaledInnerSizeAndIsCentred) {
  RECT client{};
  GetClientRect(window_, &client);
  const Size inner = ByResolution<Size>{{890, 564}, {1112, 705}}.For(dpi_);
  EXPECT_EQ((Size{client.right, client.bottom}), inner);
  EXPECT_EQ(gui_->InnerSize(kMainWindow), inner);
  RECT outer{};
  GetWindowRect(window_, &outer);
  EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
}

TEST_F(MainWindowGeometry, WindowCannotBeMadeSmallerThanTheMinimumInnerSize) {
  SetWindowPos(window_, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(gui_->InnerSize(kMainWindow), (ByResolution<Size>{{890, 400}, {1112, 500}}.For(dpi_)));
  // The minimum does not hold the window at its start size: it grows, and shrinks back to the minimum.
  SetWindowPos(window_, nullptr, 0, 0, 1200, 900, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_GT(gui_->InnerSize(kMainWindow).height, 700);
}

TEST_F(MainWindowGeometry, ListColumnsHaveTheirScaledWidths) {
  struct Case {
    int list;
    int column;
    ByResolution<int> width;
  };
  const Case cases[] = {
      {kFunctionList, 0, {228, 285}},  {kFunctionList, 1, {192, 240}}, {kFunctionList, 2, {50, 62}},
      {kFunctionList, 3, {190, 238}},  {kFunctionList, 4, {100, 125}}, {kFunctionList, 5, {101, 126}},
      {kLibrariesList, 0, {133, 166}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("list " + std::to_string(c.list) + " column " + std::to_string(c.column));
    EXPECT_EQ(SendMessageW(Control(c.list), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c.column), 0), c.width.For(dpi_));
  }
}

TEST_F(MainWindowGeometry, StatusBarFieldsHaveTheirScaledWidths) {
  HWND bar = gui_->StatusBarHandle(kMainWindow);
  ASSERT_NE(bar, nullptr);
  int edges[8] = {};
  ASSERT_EQ(SendMessageW(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
  // Fields 214, 160, the rest, 126 and 162 units wide; the last one reaches the right edge (-1).
  const ByResolution<std::vector<int>> expected{{214, 374, 602, 728, -1}, {268, 468, 752, 910, -1}};
  EXPECT_EQ(std::vector<int>(edges, edges + 5), expected.For(dpi_));
  // Along the bottom edge, as wide as the window.
  RECT client{};
  GetClientRect(window_, &client);
  const Rect barRect = test::WindowsRect(bar);
  EXPECT_EQ(barRect.x, 0);
  EXPECT_EQ(barRect.width, client.right);
  EXPECT_EQ(barRect.y + barRect.height, client.bottom);
  EXPECT_EQ(gui_->StatusBarHeight(kMainWindow), barRect.height);
}

TEST_F(MainWindowGeometry, ProgressBarFillsTheFirstStatusField) {
  HWND bar = gui_->StatusBarHandle(kMainWindow);
  HWND progress = FindWindowExW(bar, nullptr, PROGRESS_CLASSW, nullptr);
  ASSERT_NE(progress, nullptr);
  RECT field{};
  SendMessageW(bar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&field));
  EXPECT_EQ(test::WindowsRect(progress),
            (Rect{field.left, field.top, field.right - field.left, field.bottom - field.top}));
  EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 0);
}

TEST_F(MainWindowGeometry, ControlsUseTheDialogFontAtEightPoints) {
  for (int number : {kLoadLibs, kLibraryPath, kFunctionList, kDetailDescription, kDetailSave}) {
    SCOPED_TRACE("control " + std::to_string(number));
    auto font = reinterpret_cast<HFONT>(SendMessageW(Control(number), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW description{};
    ASSERT_NE(GetObjectW(font, sizeof description, &description), 0);
    EXPECT_STREQ(description.lfFaceName, L"MS Shell Dlg");
    // 8 points of 1/72 inch: 10.67 pixels at 96 per inch, 13.33 at 120, as a character height.
    EXPECT_EQ(description.lfHeight, (ByResolution<LONG>{-11, -13}.For(dpi_)));
  }
}

}  // namespace
}  // namespace korvane
