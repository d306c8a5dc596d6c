// Pictures of the main window as a person would see it, saved as build artifacts to look at: at start-up
// (after the program's layout ran) and with rows and the detail editor shown. Each is a 24-bit BMP in
// the folder named by KORVANE_SCREENSHOTS, or in "screenshots" under the current directory.
#include <cstdio>
#include <set>
#include <string>

#include "app/layout.h"
#include "app/program_numbers.h"
#include "win32/screenshot.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

class MainWindowScreenshot : public test::MainWindowTest {
 protected:
  // Shows the window as the program does after building it, and lets every control paint.
  void ShowLikeTheProgram() {
    LayoutMainWindow(*gui_);
    gui_->ShowWindow(kMainWindow, true);
    test::PendingEvents(*gui_);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    test::PendingEvents(*gui_);
  }

  void SaveAndCheck(const std::wstring& name) {
    const test::Capture capture = test::CaptureWindow(window_);
    RECT outer{};
    GetWindowRect(window_, &outer);
    EXPECT_EQ(capture.width, outer.right - outer.left);
    // A window with buttons, fields, a list and a status bar shows more than a few flat colours.
    EXPECT_GT(test::DistinctColours(capture), 8u) << "the capture looks empty";
    const int dpi = test::ScreenPixelsPerInch();
    const std::wstring suffix = dpi == 96 ? L"" : L"-" + std::to_wstring(dpi) + L"dpi";
    EXPECT_TRUE(test::SaveScreenshot(capture, name + suffix));
  }
};

TEST_F(MainWindowScreenshot, AtStartUp) {
  ShowLikeTheProgram();
  SaveAndCheck(L"main-startup");
}

TEST_F(MainWindowScreenshot, WithRowsAndTheDetailEditor) {
  const struct {
    const char16_t* function;
    const char16_t* parameters;
    const char16_t* result;
    bool checked;
  } rows[] = {
      {u"MessageBox", u"( HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType )", u"INT", true},
      {u"MessageBoxA", u"( HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType )", u"INT", true},
      {u"MessageBoxW", u"", u"", false},
      {u"MessageBeep", u"( UINT uType )", u"BOOL", true},
  };
  for (const auto& row : rows) {
    gui_->AddRow(kFunctionList, {row.function, row.parameters, row.result, u"", u"", u""}, row.checked);
  }
  gui_->AddRow(kLibrariesList, {u"user32.lib"}, true);
  gui_->AddRow(kLibrariesList, {u"kernel32.lib"}, true);
  gui_->SetRowState(kFunctionList, 1, true, true);
  gui_->SetText(kDetailFunction, u"MessageBoxA");
  gui_->SetText(kDetailParameters, u"HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType");
  gui_->SetText(kDetailReturn, u"INT");
  gui_->SetText(kDetailDescription, u"Displays a modal dialog box.");
  gui_->SetText(kLibraryPath, u"C:\\SDK\\Lib\\user32.lib");
  gui_->SetText(kArchitecture, u"x64");
  gui_->SetStatusText(kStatusCount, u" 4 Functions");
  gui_->SetVisible(kLibrariesList, true);
  gui_->SetVisible(kDetailPanel, true);
  ShowLikeTheProgram();
  SaveAndCheck(L"main-detail");
}

}  // namespace
}  // namespace korvane
