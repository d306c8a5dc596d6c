// The main window's controls as Windows reports them after Win32Gui built them: kinds, styles, states,
// tooltips and menu; and the control operations of Win32Gui read back through Win32 queries.
#include <string>

#include "app/program_numbers.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

using test::HasStyle;

class Win32Controls : public test::MainWindowTest {};

TEST_F(Win32Controls, WindowIsHiddenUntilShownAndClipsItsChildren) {
  EXPECT_FALSE(IsWindowVisible(window_));
  EXPECT_TRUE(HasStyle(window_, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
  EXPECT_EQ(test::ClassName(window_), L"KorvaneWindow");
  wchar_t title[64] = {};
  GetWindowTextW(window_, title, 64);
  EXPECT_STREQ(title, L"Korvane (beta 4)");
  gui_->ShowWindow(kMainWindow, true);
  EXPECT_TRUE(IsWindowVisible(window_));
  gui_->ShowWindow(kMainWindow, false);
  EXPECT_FALSE(IsWindowVisible(window_));
}

TEST_F(Win32Controls, EachControlHasItsKindAndState) {
  struct Case {
    int number;
    const wchar_t* windowClass;
    bool enabled;
    bool visible;
  };
  // Only "Load LIBs", "Load XML" and the donation button can be used at start-up.
  const Case cases[] = {
      {kLoadLibs, L"Button", true, true},
      {kLoadXml, L"Button", true, true},
      {kOptionsButton, L"Button", false, true},
      {kMsdnChecked, L"Button", false, true},
      {kMsdnSelected, L"Button", false, true},
      {kMergeXml, L"Button", false, true},
      {kSaveXml, L"Button", false, true},
      {kExportPb, L"Button", false, true},
      {kDonation, L"Button", true, true},
      {kCheckAll, L"Button", false, true},
      {kCheckNone, L"Button", false, true},
      {kCheckInvert, L"Button", false, true},
      {kCheckFilled, L"Button", false, true},
      {kArchitecture, L"Edit", false, true},
      {kLibraryPath, L"Edit", false, true},
      {kFunctionList, L"SysListView32", true, true},
      {kLibrariesList, L"SysListView32", true, false},
      {kDetailPanel, L"KorvanePanel", true, false},
      {kDetailFunction, L"Edit", false, true},
      {kDetailParameters, L"Edit", true, true},
      {kDetailReturn, L"Edit", true, true},
      {kDetailDescription, L"Edit", true, true},
      {kDetailGroup, L"Edit", true, true},
      {kDetailWebsite, L"Edit", true, true},
      {kDetailSave, L"Button", true, true},
      {kDetailClear, L"Button", true, true},
      {kBrowser, L"KorvaneBrowserHost", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("control " + std::to_string(c.number));
    HWND control = Control(c.number);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(test::ClassName(control), c.windowClass);
    EXPECT_EQ(IsWindowEnabled(control) != FALSE, c.enabled);
    EXPECT_EQ(HasStyle(control, WS_VISIBLE), c.visible);
    EXPECT_EQ(gui_->IsEnabled(c.number), c.enabled);
    EXPECT_EQ(gui_->IsVisible(c.number), c.visible);
  }
}

TEST_F(Win32Controls, ButtonsAndFieldsHaveTheirStyles) {
  struct Case {
    int number;
    DWORD style;
  };
  const Case cases[] = {
      {kOptionsButton, BS_BOTTOM},
      {kDetailSave, BS_BOTTOM},
      {kDetailClear, BS_BOTTOM},
      {kCheckAll, BS_VCENTER},
      {kCheckFilled, BS_VCENTER},
      {kDonation, BS_BITMAP},
      {kLoadLibs, WS_TABSTOP},
      {kArchitecture, ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP},
      {kLibraryPath, ES_AUTOHSCROLL},
      {kDetailPanel, WS_BORDER},
      {kDetailDescription, 0x47 | ES_AUTOHSCROLL},  // multi-line, auto-scroll, both alignment bits
      {kFunctionList, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP},
      {kLibrariesList, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("control " + std::to_string(c.number));
    EXPECT_TRUE(HasStyle(Control(c.number), c.style)) << std::hex << test::Style(Control(c.number));
  }
  EXPECT_FALSE(HasStyle(Control(kLoadLibs), BS_BOTTOM));
  EXPECT_FALSE(HasStyle(Control(kLibraryPath), ES_CENTER));
  EXPECT_FALSE(HasStyle(Control(kLibraryPath), ES_MULTILINE));
  for (int field : {kArchitecture, kLibraryPath, kDetailParameters, kDetailDescription}) {
    EXPECT_NE(test::ExtendedStyle(Control(field)) & WS_EX_CLIENTEDGE, 0) << "field " << field;
  }
}

TEST_F(Win32Controls, ListViewsHaveTheirExtendedStylesColoursAndFlatHeaders) {
  struct Case {
    int list;
    DWORD extendedStyle;
    COLORREF background;
  };
  const DWORD common =
      LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES | LVS_EX_LABELTIP;
  const Case cases[] = {
      {kFunctionList, common | LVS_EX_HEADERDRAGDROP, RGB(252, 252, 252)},
      {kLibrariesList, common, RGB(249, 249, 249)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("list " + std::to_string(c.list));
    HWND list = Control(c.list);
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)), c.extendedStyle);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), RGB(21, 21, 21));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), c.background);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0)), c.background);
    auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    EXPECT_FALSE(HasStyle(header, HDS_BUTTONS));
  }
  wchar_t title[32] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = 32;
  ASSERT_TRUE(SendMessageW(Control(kFunctionList), LVM_GETCOLUMNW, 3, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(title, L"Description");
  ASSERT_TRUE(SendMessageW(Control(kLibrariesList), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(title, L"Libraries");
}

TEST_F(Win32Controls, TooltipsAreAttachedInTableOrder) {
  HWND tooltip = gui_->TooltipHandle(kMainWindow);
  ASSERT_NE(tooltip, nullptr);
  const int order[] = {kLoadLibs, kLoadXml,  kMsdnChecked, kMsdnSelected, kMergeXml,    kSaveXml,
                       kExportPb, kDonation, kCheckAll,    kCheckNone,    kCheckInvert, kCheckFilled};
  ASSERT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), static_cast<LRESULT>(std::size(order)));
  for (std::size_t i = 0; i < std::size(order); ++i) {
    SCOPED_TRACE("tool " + std::to_string(i));
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(reinterpret_cast<HWND>(tool.uId), Control(order[i]));
  }
  wchar_t text[128] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kDonation));
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L" Make a donation with PayPal ");
}

// The program changes a tip once it knows where its lookups search.
TEST_F(Win32Controls, ATipsTextCanBeReplaced) {
  HWND tooltip = gui_->TooltipHandle(kMainWindow);
  ASSERT_NE(tooltip, nullptr);
  gui_->SetTooltip(kMsdnChecked, u" Search the offline documentation set for all Checked items ");
  wchar_t text[128] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kMsdnChecked));
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L" Search the offline documentation set for all Checked items ");
  EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 12);  // replaced, not added
}

TEST_F(Win32Controls, StatusFieldsStartWithTheirTexts) {
  HWND bar = gui_->StatusBarHandle(kMainWindow);
  EXPECT_TRUE(HasStyle(bar, WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  // Field 4 holds the credit text of the window's table.
  const Text creditText = MainWindowDescription().statusFields[4].text;
  const std::wstring credit(creditText.begin(), creditText.end());
  const wchar_t* texts[] = {L"", L" 0 Functions", L" Ready...", L" 00:00:00 / 00:00:00", credit.c_str()};
  for (int field = 0; field < 5; ++field) {
    wchar_t text[128] = {};
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, texts[field]) << "field " << field;
  }
  gui_->SetStatusText(kStatusCount, u" 1021 Functions");
  EXPECT_EQ(gui_->GetStatusText(kStatusCount), u" 1021 Functions");
  EXPECT_EQ(gui_->GetStatusText(kStatusMessage), u" Ready...");
}

TEST_F(Win32Controls, OptionsMenuHoldsItsItemWithItsCheckMark) {
  HMENU menu = gui_->OptionsMenuHandle(kMainWindow);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  wchar_t text[64] = {};
  GetMenuStringW(menu, kMenuSkipFilled, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"Skip Filled + Unchecked Functions");
  GetMenuStringW(menu, kMenuSaveImportFile, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"Save Import File...");
  EXPECT_EQ(GetMenuState(menu, kMenuSaveImportFile, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_NE(GetMenuState(menu, kMenuSkipFilled, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_TRUE(gui_->IsMenuChecked(kMenuSkipFilled));
  gui_->SetMenuChecked(kMenuSkipFilled, false);
  EXPECT_EQ(GetMenuState(menu, kMenuSkipFilled, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_FALSE(gui_->IsMenuChecked(kMenuSkipFilled));
  gui_->SetMenuChecked(kMenuSkipFilled, true);
  EXPECT_TRUE(gui_->IsMenuChecked(kMenuSkipFilled));
  EXPECT_FALSE(gui_->IsMenuChecked(42));  // no such item
}

TEST_F(Win32Controls, DonationButtonShowsThePictureAtItsOwnSize) {
  auto picture = reinterpret_cast<HBITMAP>(SendMessageW(Control(kDonation), BM_GETIMAGE, IMAGE_BITMAP, 0));
#ifndef KORVANE_DONATION_PICTURE
  if (picture == nullptr) GTEST_SKIP() << "built without the picture decoder";
#endif
  ASSERT_NE(picture, nullptr);
  BITMAP bitmap{};
  ASSERT_NE(GetObjectW(picture, sizeof bitmap, &bitmap), 0);
  EXPECT_EQ(bitmap.bmWidth, 36);
  EXPECT_EQ(bitmap.bmHeight, 28);
  EXPECT_EQ(bitmap.bmBitsPixel, 24);
}

TEST_F(Win32Controls, VisibilityIsTheControlsOwnWhileTheWindowIsHidden) {
  ASSERT_FALSE(IsWindowVisible(window_));
  gui_->SetVisible(kLibrariesList, true);
  EXPECT_TRUE(gui_->IsVisible(kLibrariesList));
  EXPECT_TRUE(HasStyle(Control(kLibrariesList), WS_VISIBLE));
  gui_->SetVisible(kLoadLibs, false);
  EXPECT_FALSE(gui_->IsVisible(kLoadLibs));
  gui_->SetEnabled(kMsdnChecked, true);
  EXPECT_TRUE(IsWindowEnabled(Control(kMsdnChecked)));
  gui_->SetEnabled(kLoadLibs, false);
  EXPECT_FALSE(gui_->IsEnabled(kLoadLibs));
}

TEST_F(Win32Controls, RectanglesAreRelativeToTheParent) {
  gui_->SetRect(kDetailPanel, {4, 442, 882, 96});
  gui_->SetRect(kDetailClear, {820, 72, 56, 18});
  gui_->SetRect(kFunctionList, {4, 68, 882, -5});  // a negative size is no size
  EXPECT_EQ(test::WindowsRect(Control(kDetailPanel)), (Rect{4, 442, 882, 96}));
  EXPECT_EQ(test::WindowsRect(Control(kDetailClear)), (Rect{820, 72, 56, 18}));
  EXPECT_EQ(gui_->GetRect(kDetailClear), (Rect{820, 72, 56, 18}));
  EXPECT_EQ(gui_->GetRect(kFunctionList), (Rect{4, 68, 882, 0}));
}

TEST_F(Win32Controls, TextsOfFieldsAndButtons) {
  const Text long_text(5000, u'x');
  const struct {
    int control;
    Text text;
  } cases[] = {
      {kLibraryPath, u"C:\\SDK\\Lib\\user32.lib"},
      {kDetailParameters, u"HWND hWnd, LPCTSTR lpText"},
      {kDetailDescription, u"line one\r\nline two \u00E9\u20AC"},
      {kDetailWebsite, long_text},
      {kDetailSave, u"Save"},
      {kDetailGroup, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("control " + std::to_string(c.control));
    gui_->SetText(c.control, c.text);
    EXPECT_EQ(gui_->GetText(c.control), c.text);
  }
  EXPECT_EQ(gui_->GetText(kFunctionList), u"");
  EXPECT_EQ(gui_->GetText(kBrowser), u"about:blank");
}

TEST_F(Win32Controls, FreezingNestsAndOnlyTheLastThawRedraws) {
  gui_->ShowWindow(kMainWindow, true);
  // WM_SETREDRAW switches drawing off by clearing the window's WS_VISIBLE bit without hiding it.
  gui_->FreezeDrawing(kMainWindow, true);
  EXPECT_FALSE(HasStyle(window_, WS_VISIBLE));
  gui_->FreezeDrawing(kMainWindow, true);
  gui_->FreezeDrawing(kMainWindow, false);
  EXPECT_FALSE(HasStyle(window_, WS_VISIBLE)) << "the inner thaw must not redraw yet";
  gui_->FreezeDrawing(kMainWindow, false);
  EXPECT_TRUE(HasStyle(window_, WS_VISIBLE));
  gui_->FreezeDrawing(kMainWindow, false);  // one thaw too many changes nothing
  EXPECT_TRUE(HasStyle(window_, WS_VISIBLE));
}

TEST_F(Win32Controls, FreezingAHiddenWindowDoesNotShowIt) {
  gui_->FreezeDrawing(kMainWindow, true);
  gui_->FreezeDrawing(kMainWindow, false);
  EXPECT_FALSE(HasStyle(window_, WS_VISIBLE));
  EXPECT_FALSE(IsWindowVisible(window_));
}

TEST_F(Win32Controls, ListsShownOrHiddenWhileFrozenAreSoAfterTheThaw) {
  gui_->FreezeDrawing(kMainWindow, true);
  gui_->SetVisible(kLibrariesList, true);
  gui_->SetVisible(kFunctionList, false);
  EXPECT_TRUE(gui_->IsVisible(kLibrariesList));
  EXPECT_FALSE(gui_->IsVisible(kFunctionList));
  gui_->FreezeDrawing(kMainWindow, false);
  EXPECT_TRUE(HasStyle(Control(kLibrariesList), WS_VISIBLE));
  EXPECT_FALSE(HasStyle(Control(kFunctionList), WS_VISIBLE));
  EXPECT_TRUE(gui_->IsVisible(kLibrariesList));
  EXPECT_FALSE(gui_->IsVisible(kFunctionList));
}

TEST_F(Win32Controls, DisablingTheWindow) {
  gui_->EnableWindow(kMainWindow, false);
  EXPECT_FALSE(IsWindowEnabled(window_));
  gui_->EnableWindow(kMainWindow, true);
  EXPECT_TRUE(IsWindowEnabled(window_));
}

}  // namespace
}  // namespace korvane
