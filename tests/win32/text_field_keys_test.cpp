// Keys typed into the detail editor's fields, delivered through the program's own message loop (the
// dialog keys included), as a person's keys arrive: no key destroys a control, Tab leaves every field,
// and text the program sets is followed by the caret.
#include <string>

#include "app/layout.h"
#include "app/program_numbers.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

class TextFieldKeys : public test::MainWindowTest {
 protected:
  void SetUp() override {
    test::MainWindowTest::SetUp();
    gui_->SetVisible(kDetailPanel, true);
    LayoutMainWindow(*gui_);
    gui_->ShowWindow(kMainWindow, true);
    test::PendingEvents(*gui_);
  }

  // Posts a key to the focused control as the keyboard would and lets the loop take it (its
  // TranslateMessage makes the character).
  void Press(WPARAM key, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    test::PendingEvents(*gui_);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
};

TEST_F(TextFieldKeys, EscapeInAnyFieldOfTheDetailEditorChangesNothing) {
  for (const int field : {kDetailParameters, kDetailReturn, kDetailDescription, kDetailGroup, kDetailWebsite}) {
    SCOPED_TRACE("field " + std::to_string(field));
    SetFocus(Control(field));
    Press('X');
    Press(VK_ESCAPE);
    ASSERT_TRUE(IsWindow(Control(kDetailPanel))) << "Escape destroyed the detail editor";
    EXPECT_TRUE(gui_->IsVisible(kDetailPanel));
    EXPECT_TRUE(IsWindow(Control(field)));
    EXPECT_EQ(gui_->GetText(field), u"x");
    EXPECT_EQ(GetFocus(), Control(field));
  }
}

TEST_F(TextFieldKeys, TabAndShiftTabLeaveEveryFieldOfTheDetailEditor) {
  const struct {
    int from;
    bool shift;
    int to;
  } cases[] = {
      {kDetailParameters, false, kDetailReturn},  {kDetailReturn, false, kDetailDescription},
      {kDetailDescription, false, kDetailGroup},  {kDetailDescription, true, kDetailReturn},
      {kDetailGroup, true, kDetailDescription},   {kDetailWebsite, false, kDetailSave},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("from " + std::to_string(c.from) + (c.shift ? " with Shift" : ""));
    SetFocus(Control(c.from));
    Press(VK_TAB, c.shift);
    EXPECT_EQ(GetFocus(), Control(c.to));
    EXPECT_EQ(gui_->GetText(c.from).find(u'\t'), Text::npos) << "Tab was typed into the field";
  }
}

// The Parameters field's digit shortcut replaces the text and the user types on after it.
TEST_F(TextFieldKeys, TypingGoesOnAtTheEndOfATextTheProgramSet) {
  for (const int field : {kDetailParameters, kDetailDescription}) {
    SCOPED_TRACE("field " + std::to_string(field));
    SetFocus(Control(field));
    gui_->SetText(field, u"a, b, c");
    Press('Z', true);
    EXPECT_EQ(gui_->GetText(field), u"a, b, cZ");
  }
}

}  // namespace
}  // namespace korvane
