// Nothing a user typed is lost, with real input on the real windows: text typed into the detail
// editor stays when another row is clicked, Enter saves and Escape gives the typing up; closing with
// changes no catalogue file has asks first; a message of the export window belongs to it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/export_commands.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "helpers/fixtures.h"
#include "win32/program_windows.h"

namespace korvane {
namespace {

constexpr char kLibrary[] = "/usr/x86_64-w64-mingw32/lib/libgdi32.a";

class UserWorkWindows : public test::ProgramWindowsTest {
 protected:
  void SetUp() override {
    if (!testing::HostFileExists(kLibrary)) GTEST_SKIP() << "Debian's mingw-w64 import libraries are not installed";
    test::PrepareProcessLikeTheProgram();
    BuildMainWindow(session_);
    ApplyExportSettings(session_);
    DispatchPending();
    gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, testing::HostPath(kLibrary)});
    DispatchPending();
    DispatchPending();  // what the load queued
    ASSERT_GT(gui_.RowCount(kFunctionList), 3);
  }
  void TearDown() override { gui_.SetSizeHandler({}); }

  ApiFunction& Record(int row) { return session_.catalogue.Shown()->functions[static_cast<std::size_t>(row)]; }

  // A click of the left button on a row's label, as the mouse sends it.
  void ClickRow(int row) {
    HWND list = gui_.ControlHandle(kFunctionList);
    RECT label{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label)));
    const LPARAM point = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    DispatchPending();
    DispatchPending();  // the editor filled from the row
  }
  // Types `text` into a field of the editor through the message loop, key by key.
  void Type(int field, const std::wstring& text) {
    HWND control = gui_.ControlHandle(field);
    SetFocus(control);
    SendMessageW(control, EM_SETSEL, 0, -1);  // replaces what is there, as after a triple click
    for (const wchar_t c : text) PostMessageW(control, WM_CHAR, c, 1);
    DispatchPending();
  }
  // A key pressed and released in the focused control.
  void Press(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    DispatchPending();
    DispatchPending();
  }
  // The close box, and the program's answer to it: true when the window stays.
  bool CloseWindow(int button, std::vector<std::wstring>& messages) {
    test::MessageBoxReader reader(button);
    PostMessageW(gui_.WindowHandle(kMainWindow), WM_CLOSE, 0, 0);
    bool stays = true;
    for (const Event& event : test::PendingEvents(gui_)) {
      const bool goesOn = DispatchEvent(session_, event);
      if (event.kind == kEventCloseWindow) stays = goesOn;
    }
    messages = reader.Texts();
    return stays;
  }
};

TEST_F(UserWorkWindows, TypedTextStaysWhenAnotherRowIsClicked) {
  Record(1).checked = 0;
  ListView_SetCheckState(gui_.ControlHandle(kFunctionList), 1, FALSE);
  ClickRow(1);
  ASSERT_EQ(gui_.SelectedRow(kFunctionList), 1);
  Type(kDetailParameters, L"HDC hdc, int x");
  Type(kDetailDescription, L"Typed by hand");
  ClickRow(3);
  EXPECT_EQ(gui_.SelectedRow(kFunctionList), 3);
  EXPECT_EQ(Record(1).Parameters, u"HDC hdc, int x");
  EXPECT_EQ(Record(1).Description, u"Typed by hand");
  EXPECT_EQ(Record(1).checked, 1);
  EXPECT_TRUE(ListView_GetCheckState(gui_.ControlHandle(kFunctionList), 1));
  EXPECT_EQ(gui_.RowText(kFunctionList, 1, 1), u"( HDC hdc, int x )");
  EXPECT_EQ(gui_.GetText(kDetailFunction), Record(3).Function);  // the editor shows the clicked row
}

TEST_F(UserWorkWindows, EnterSavesAndEscapeGivesTheTypingUp) {
  ClickRow(2);
  Type(kDetailGroup, L"Given up");
  Press(VK_ESCAPE);
  EXPECT_EQ(gui_.GetText(kDetailGroup), u"");
  EXPECT_TRUE(Record(2).Group.empty());
  ASSERT_TRUE(IsWindowVisible(gui_.ControlHandle(kDetailPanel))) << "Escape closed the editor";
  for (const int field : {kDetailReturn, kDetailDescription}) {
    Type(field, L"dword");
    Press(VK_RETURN);
  }
  EXPECT_EQ(Record(2).Return, u"DWORD");
  EXPECT_EQ(Record(2).Description, u"dword");
  EXPECT_EQ(gui_.RowText(kFunctionList, 2, 3), u"dword");
  EXPECT_EQ(gui_.GetText(kDetailDescription).find(u'\n'), Text::npos) << "Enter started a new line";
  ClickRow(3);  // nothing typed since the save: nothing more to keep
  EXPECT_EQ(Record(2).Description, u"dword");
}

TEST_F(UserWorkWindows, ClosingWithUnsavedChangesAsksAndCancelKeepsTheWindow) {
  std::vector<std::wstring> messages;
  EXPECT_FALSE(CloseWindow(IDCANCEL, messages)) << "nothing changed, yet the window stayed";
  EXPECT_TRUE(messages.empty());

  ClickRow(1);
  Type(kDetailDescription, L"Worth keeping");
  Press(VK_RETURN);
  EXPECT_TRUE(CloseWindow(IDCANCEL, messages));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], L"Save changes?");
  EXPECT_TRUE(IsWindowVisible(gui_.WindowHandle(kMainWindow)));
  EXPECT_EQ(Record(1).Description, u"Worth keeping");

  EXPECT_FALSE(CloseWindow(IDNO, messages));
  EXPECT_EQ(messages.size(), 1u);
}

// The export's message about a folder that is not an installation: the export window owns it, stays
// in front with the main window disabled after it is closed.
TEST_F(UserWorkWindows, TheExportWindowsMessageBelongsToIt) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane not an installation";
  std::filesystem::create_directories(folder);
  const std::u8string utf8 = folder.u8string();
  SendMessageW(gui_.ControlHandle(kExportPb), BM_CLICK, 0, 0);
  DispatchPending();
  HWND exportWindow = gui_.WindowHandle(kExportWindow);
  HWND mainWindow = gui_.WindowHandle(kMainWindow);
  ASSERT_TRUE(IsWindowVisible(exportWindow));
  gui_.SetText(kExportRoot, Utf8ToText(std::string(utf8.begin(), utf8.end())));
  std::vector<std::wstring> messages;
  std::vector<HWND> owners;
  {
    test::MessageBoxReader reader;
    SendMessageW(gui_.ControlHandle(kExportRun), BM_CLICK, 0, 0);
    DispatchPending();
    messages = reader.Texts();
    owners = reader.Owners();
  }
  std::filesystem::remove_all(folder);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(L"is not an installation"), std::wstring::npos);
  EXPECT_EQ(owners[0], exportWindow);
  EXPECT_TRUE(IsWindowVisible(exportWindow));
  EXPECT_TRUE(IsWindowEnabled(exportWindow));
  EXPECT_FALSE(IsWindowEnabled(mainWindow)) << "the message freed the main window";
  EXPECT_EQ(GetActiveWindow(), exportWindow);
}

}  // namespace
}  // namespace korvane
