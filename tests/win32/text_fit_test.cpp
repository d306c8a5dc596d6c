// No control cuts its own text: every label, check box, option button, the architecture field and the
// status bar's fields are measured in the control's own font (GetTextExtentPoint32) against the room
// Windows gives the text. Runs at the screen's resolution, and again at 144 pixels per inch in a child
// process (resolution_test.cpp).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/export_window.h"
#include "app/main_window.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

// The width of `text` in the font the control draws with.
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

std::wstring WindowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

int ClientWidth(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  return client.right - client.left;
}

std::wstring Wide(const Text& text) { return std::wstring(text.begin(), text.end()); }

class TextFit : public test::MainWindowTest {
 protected:
  void SetUp() override {
    test::MainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    // Run by resolution_test.cpp at another resolution: check that it took effect, and say so.
    ASSERT_TRUE(test::ResolutionAsTheParentAsked()) << "the display resolution was not changed";
    gui_->BuildWindow(ExportWindowDescription());
  }

  // The room a control leaves its text: the client width less the box of a check box or option
  // button (and the gap after it), or an edit control's margins.
  int Room(HWND control, ControlKind kind) {
    int room = ClientWidth(control);
    if (kind == ControlKind::CheckBox || kind == ControlKind::OptionButton) {
      room -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
    }
    if (kind == ControlKind::TextField) {
      const auto margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
      room -= LOWORD(margins) + HIWORD(margins);
    }
    return room;
  }
};

TEST_F(TextFit, EveryFixedTextFitsItsControl) {
  // The widest texts the architecture field shows.
  gui_->SetText(kArchitecture, u"x64");
  int measured = 0;
  for (const WindowDescription& window : {MainWindowDescription(), ExportWindowDescription()}) {
    for (const ControlDescription& description : window.controls) {
      const bool fixedText = description.kind == ControlKind::Label || description.kind == ControlKind::CheckBox ||
                             description.kind == ControlKind::OptionButton || description.number == kArchitecture;
      if (!fixedText) continue;
      HWND control = Control(description.number);
      ASSERT_NE(control, nullptr) << description.number;
      const std::wstring text = WindowText(control);
      const int width = TextWidth(control, text);
      const int room = Room(control, description.kind);
      EXPECT_LE(width, room) << "control " << description.number << " \"" << std::string(text.begin(), text.end())
                             << "\" at " << test::ScreenPixelsPerInch() << " pixels per inch";
      ++measured;
    }
  }
  EXPECT_EQ(measured, 8);  // three labels, a check box, three option buttons, the architecture field
}

TEST_F(TextFit, TheStatusBarsFieldsHoldTheirTexts) {
  // Each field with the widest text it shows; the message field at the window's smallest width.
  const struct {
    int field;
    Text text;
  } fields[] = {
      {kStatusCount, u" 99999 Functions"},
      {kStatusMessage, kReadyText},
      {kStatusMessage, u" Skipped notes.lib: not an archive"},
      {kStatusTime, u" 00:00:06 / 00:01:14"},
      {kStatusTime, u" 88:88:88 / 88:88:88"},
      {kStatusCredit, u" Korvane for Purebasic"},
  };
  gui_->ShowWindow(kMainWindow, true);
  test::PendingEvents(*gui_);
  HWND bar = gui_->StatusBarHandle(kMainWindow);
  ASSERT_NE(bar, nullptr);
  int borders[3] = {};
  SendMessageW(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  for (const auto& f : fields) {
    gui_->SetStatusText(f.field, f.text);
    RECT part{};
    SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(f.field), reinterpret_cast<LPARAM>(&part));
    // The status bar draws a part's text inside its border, one border width in from each side.
    const int room = part.right - part.left - 2 * borders[0] - 2 * borders[2];
    EXPECT_LE(TextWidth(bar, Wide(f.text)), room)
        << "status field " << f.field << " \"" << TextToUtf8(f.text) << "\" at " << test::ScreenPixelsPerInch()
        << " pixels per inch";
  }
}

}  // namespace
}  // namespace korvane
