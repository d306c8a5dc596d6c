// The export window as Windows reports it after Win32Gui built it from its table, next to the main
// window that owns it: every control's place, kind and start state, and what a click on it delivers.
// Runs at 96 pixels per inch and again at 120 in the child process of resolution_test.cpp.
#include <string>

#include "app/export_window.h"
#include "app/program_numbers.h"
#include "win32/screenshot.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

class ExportWindowTest : public test::MainWindowTest {
 protected:
  void SetUp() override {
    test::MainWindowTest::SetUp();
    gui_->BuildWindow(ExportWindowDescription());
    export_ = gui_->WindowHandle(kExportWindow);
    ASSERT_NE(export_, nullptr);
    dpi_ = test::ScreenPixelsPerInch();
    if (dpi_ != 96 && dpi_ != 120) GTEST_SKIP() << "no expected values for " << dpi_ << " pixels per inch";
  }
  Rect At(Rect at96, Rect at120) const { return dpi_ == 120 ? at120 : at96; }

  HWND export_ = nullptr;
  int dpi_ = 96;
};

TEST_F(ExportWindowTest, EveryControlIsWhereItsTableRowPutsIt) {
  const struct {
    int number;
    const wchar_t* className;
    const wchar_t* text;
    Rect at96, at120;
  } cases[] = {
      {kExportRootLabel, L"Static", L"PB Root:", {10, 17, 50, 18}, {12, 21, 62, 22}},
      {kExportRoot, L"ComboBox", L"", {60, 14, 410, 20}, {75, 18, 512, 25}},
      {kExportBrowse, L"Button", L"...", {474, 14, 20, 20}, {592, 18, 25, 25}},
      {kExportUpdateListing, L"Button", L"Update APIFunctionListing.txt", {10, 52, 190, 20}, {12, 65, 238, 25}},
      {kExportTemplateLabel, L"Static", L"Function ( Params )", {10, 77, 118, 20}, {12, 96, 148, 25}},
      {kExportTemplate, L"Edit", L"  %RET%  |  %DSC%  |  %GRP%  |  %WEB%", {130, 74, 340, 20}, {162, 92, 425, 25}},
      {kExportResetTemplate, L"Button", L"r", {474, 74, 20, 20}, {592, 92, 25, 25}},
      {kExportConnector, L"Static", L"\\_", {80, 97, 20, 20}, {100, 121, 25, 25}},
      {kExportInOut, L"Button", L"InOut", {102, 100, 76, 20}, {128, 125, 95, 25}},
      {kExportKeepSal, L"Button", L"_Inout_", {102, 120, 76, 20}, {128, 150, 95, 25}},
      {kExportRemoveSal, L"Button", L"Remove", {102, 140, 76, 20}, {128, 175, 95, 25}},
      {kExportRun, L"Button", L"Export", {332, 140, 80, 27}, {415, 176, 100, 34}},
      {kExportCancel, L"Button", L"Cancel", {416, 140, 78, 27}, {520, 176, 98, 34}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("control " + std::to_string(c.number));
    HWND control = Control(c.number);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), export_);
    EXPECT_EQ(GetDlgCtrlID(control), c.number);
    EXPECT_EQ(test::ClassName(control), c.className);
    EXPECT_EQ(gui_->GetText(c.number), Text(c.text, c.text + std::wcslen(c.text)));
    const Rect expected = At(c.at96, c.at120);
    Rect actual = test::WindowsRect(control);
    if (c.number == kExportRoot) {
      // A drop-down list's closed box is never lower than its font needs (22 pixels for the 8-point
      // font at 96 pixels per inch, 27 at 120), whatever height it is given.
      EXPECT_GE(actual.height, expected.height);
      EXPECT_LE(actual.height, expected.height + 2);
      actual.height = expected.height;
    }
    EXPECT_EQ(actual, expected);
    EXPECT_TRUE(IsWindowEnabled(control));
  }
  RECT client{};
  GetClientRect(export_, &client);
  EXPECT_EQ((Size{client.right, client.bottom}), dpi_ == 120 ? (Size{625, 218}) : (Size{500, 174}));
}

TEST_F(ExportWindowTest, HiddenOwnedByTheMainWindowWithACloseBoxOnly) {
  EXPECT_FALSE(IsWindowVisible(export_));
  EXPECT_EQ(GetWindow(export_, GW_OWNER), window_);
  EXPECT_TRUE(test::HasStyle(export_, WS_CAPTION | WS_SYSMENU));
  EXPECT_FALSE(test::HasStyle(export_, WS_THICKFRAME));
  EXPECT_FALSE(test::HasStyle(export_, WS_MAXIMIZEBOX));
  wchar_t title[64] = {};
  GetWindowTextW(export_, title, 64);
  EXPECT_STREQ(title, L"Export to Purebasic");
  // Only "InOut" starts selected; the options form one group of their own.
  EXPECT_FALSE(gui_->IsChecked(kExportUpdateListing));
  EXPECT_TRUE(gui_->IsChecked(kExportInOut));
  EXPECT_FALSE(gui_->IsChecked(kExportKeepSal));
  EXPECT_FALSE(gui_->IsChecked(kExportRemoveSal));
  EXPECT_TRUE(test::HasStyle(Control(kExportInOut), WS_GROUP));
}

// Real clicks (BM_CLICK, as a mouse click) on the export window's controls: the buttons switch
// themselves, and every event says it came from window 2.
TEST_F(ExportWindowTest, ClicksSwitchTheButtonsAndArriveFromTheExportWindow) {
  gui_->ShowWindow(kExportWindow, true);
  test::PendingEvents(*gui_);
  const struct {
    int control;
    int selectedOption;  // after the click
    bool listing;
  } steps[] = {{kExportRemoveSal, kExportRemoveSal, false},
               {kExportUpdateListing, kExportRemoveSal, true},
               {kExportKeepSal, kExportKeepSal, true},
               {kExportUpdateListing, kExportKeepSal, false},
               {kExportRun, kExportKeepSal, false}};
  for (const auto& step : steps) {
    SCOPED_TRACE("click on " + std::to_string(step.control));
    SendMessageW(Control(step.control), BM_CLICK, 0, 0);
    const std::vector<Event> events = test::PendingEvents(*gui_);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kEventControl);
    EXPECT_EQ(events[0].window, kExportWindow);
    EXPECT_EQ(events[0].control, step.control);
    EXPECT_EQ(events[0].type, kTypeClick);
    for (const int option : {kExportInOut, kExportKeepSal, kExportRemoveSal}) {
      EXPECT_EQ(gui_->IsChecked(option), option == step.selectedOption) << option;
    }
    EXPECT_EQ(gui_->IsChecked(kExportUpdateListing), step.listing);
  }
  SendMessageW(export_, WM_CLOSE, 0, 0);
  const std::vector<Event> closing = test::PendingEvents(*gui_);
  ASSERT_EQ(closing.size(), 1u);
  EXPECT_EQ(closing[0].kind, kEventCloseWindow);
  EXPECT_EQ(closing[0].window, kExportWindow);
  EXPECT_TRUE(IsWindow(export_));
}

// Escape, as the keyboard delivers it to whichever control has the focus, closes the export window as
// Cancel and the close box do; with the root list dropped down it only closes the list.
TEST_F(ExportWindowTest, EscapeClosesTheWindowFromEveryControl) {
  gui_->ShowWindow(kExportWindow, true);
  test::PendingEvents(*gui_);
  const auto pressEscape = [](HWND focus) {
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
  };
  for (const int control : {kExportRun, kExportCancel, kExportTemplate, kExportRoot, kExportKeepSal}) {
    SCOPED_TRACE("focus on " + std::to_string(control));
    SetFocus(Control(control));
    pressEscape(GetFocus());
    const std::vector<Event> events = test::PendingEvents(*gui_);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kEventCloseWindow);
    EXPECT_EQ(events[0].window, kExportWindow);
  }
  SetFocus(Control(kExportRoot));
  SendMessageW(Control(kExportRoot), CB_SHOWDROPDOWN, TRUE, 0);
  pressEscape(GetFocus());
  EXPECT_TRUE(test::PendingEvents(*gui_).empty());
  SendMessageW(Control(kExportRoot), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ExportWindowTest, ProgramSetsOptionsAndDropDownItems) {
  gui_->SetChecked(kExportRemoveSal, true);
  EXPECT_FALSE(gui_->IsChecked(kExportInOut));
  EXPECT_TRUE(gui_->IsChecked(kExportRemoveSal));
  gui_->SetChecked(kExportUpdateListing, true);
  EXPECT_TRUE(gui_->IsChecked(kExportRemoveSal)) << "the check box is in no option group";

  EXPECT_EQ(gui_->AddItem(kExportRoot, u"C:\\PB\\"), 0);
  EXPECT_EQ(gui_->AddItem(kExportRoot, u"D:\\Programs\\PureBasic\\"), 1);
  EXPECT_EQ(gui_->ItemCount(kExportRoot), 2);
  EXPECT_EQ(gui_->SelectedItem(kExportRoot), -1);
  EXPECT_EQ(gui_->GetText(kExportRoot), u"");
  gui_->SelectItem(kExportRoot, 1);
  EXPECT_EQ(gui_->SelectedItem(kExportRoot), 1);
  EXPECT_EQ(gui_->GetText(kExportRoot), u"D:\\Programs\\PureBasic\\");
  EXPECT_EQ(gui_->ItemText(kExportRoot, 0), u"C:\\PB\\");
  EXPECT_EQ(gui_->ItemText(kExportRoot, 7), u"");
  gui_->SetText(kExportRoot, u"E:\\typed");
  EXPECT_EQ(gui_->GetText(kExportRoot), u"E:\\typed");
  gui_->ClearItems(kExportRoot);
  EXPECT_EQ(gui_->ItemCount(kExportRoot), 0);
  EXPECT_EQ(gui_->GetText(kExportRoot), u"");
}

TEST_F(ExportWindowTest, Screenshot) {
  gui_->ShowWindow(kExportWindow, true);
  test::PendingEvents(*gui_);
  RedrawWindow(export_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  test::PendingEvents(*gui_);
  const test::Capture capture = test::CaptureWindow(export_);
  EXPECT_GT(test::DistinctColours(capture), 8u) << "the capture looks empty";
  const std::wstring suffix = dpi_ == 96 ? L"" : L"-" + std::to_wstring(dpi_) + L"dpi";
  EXPECT_TRUE(test::SaveScreenshot(capture, L"export-window" + suffix));
}

}  // namespace
}  // namespace korvane
