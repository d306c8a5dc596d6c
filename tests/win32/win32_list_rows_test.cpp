// Rows of the real list views through Win32Gui: adding, reading, changing, selecting and ticking, read
// back through the list view's own messages.
#include <string>

#include "app/program_numbers.h"
#include "win32/win32_test_support.h"

namespace korvane {
namespace {

int StateImage(HWND list, int row) {
  const auto state =
      static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
  return static_cast<int>(state >> 12);
}

bool IsSelected(HWND list, int row) {
  return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

std::wstring CellText(HWND list, int row, int column) {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

class Win32ListRows : public test::MainWindowTest {
 protected:
  HWND List() const { return Control(kFunctionList); }
  void AddRows(int count) {
    for (int i = 0; i < count; ++i) {
      const Text name = u"Function" + Text(1, static_cast<char16_t>(u'A' + i));
      gui_->AddRow(kFunctionList, {name, u"( void )", u"INT", u"", u"", u""}, i % 2 == 0);
    }
  }
};

TEST_F(Win32ListRows, AddedRowsKeepTheirOrderTextsAndTicks) {
  EXPECT_EQ(gui_->AddRow(kFunctionList, {u"MessageBoxA", u"( HWND hWnd )", u"INT", u"d", u"g", u"ms645505.aspx"}, true),
            0);
  EXPECT_EQ(gui_->AddRow(kFunctionList, {u"MessageBoxW"}, false), 1);
  EXPECT_EQ(gui_->AddRow(kFunctionList, {}, true), 2);
  ASSERT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(gui_->RowCount(kFunctionList), 3);
  EXPECT_EQ(CellText(List(), 0, 0), L"MessageBoxA");
  EXPECT_EQ(CellText(List(), 0, 5), L"ms645505.aspx");
  EXPECT_EQ(CellText(List(), 1, 0), L"MessageBoxW");
  EXPECT_EQ(CellText(List(), 1, 3), L"");
  EXPECT_EQ(StateImage(List(), 0), kStateImageChecked);
  EXPECT_EQ(StateImage(List(), 1), kStateImageUnchecked);
  EXPECT_EQ(StateImage(List(), 2), kStateImageChecked);
  EXPECT_TRUE(gui_->IsRowChecked(kFunctionList, 0));
  EXPECT_FALSE(gui_->IsRowChecked(kFunctionList, 1));
  EXPECT_FALSE(gui_->IsRowChecked(kFunctionList, 3));  // no such row
  EXPECT_EQ(gui_->SelectedRow(kFunctionList), -1);
}

TEST_F(Win32ListRows, RowTextsAreReadAndRewritten) {
  AddRows(2);
  const Text long_text(1000, u'p');  // longer than any first guess of a buffer
  gui_->SetRowTexts(kFunctionList, 1, {u"FunctionB", long_text, u"BOOL", u"\u00E9t\u00E9", u"Group", u"x.aspx"});
  const struct {
    int row;
    int column;
    Text text;
  } cases[] = {
      {0, 0, u"FunctionA"}, {1, 1, long_text}, {1, 2, u"BOOL"}, {1, 3, u"\u00E9t\u00E9"},
      {1, 5, u"x.aspx"},    {2, 0, u""},       {0, 9, u""},     {-1, 0, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("row " + std::to_string(c.row) + " column " + std::to_string(c.column));
    EXPECT_EQ(gui_->RowText(kFunctionList, c.row, c.column), c.text);
  }
  gui_->SetRowTexts(kFunctionList, 7, {u"ignored"});  // no such row: nothing happens
  EXPECT_EQ(gui_->RowCount(kFunctionList), 2);
}

TEST_F(Win32ListRows, RowStateSetsSelectionAndTickTogether) {
  AddRows(4);
  const struct {
    int row;
    bool selected;
    bool checked;
    int expectedSelection;
  } steps[] = {
      {1, true, false, 1},   // selected, box cleared
      {3, true, true, 3},    // a single-selection list moves the selection
      {3, false, true, -1},  // a state without the selected bit deselects
      {0, false, false, -1},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE("row " + std::to_string(step.row));
    gui_->SetRowState(kFunctionList, step.row, step.selected, step.checked);
    EXPECT_EQ(IsSelected(List(), step.row), step.selected);
    EXPECT_EQ(StateImage(List(), step.row), step.checked ? kStateImageChecked : kStateImageUnchecked);
    EXPECT_EQ(gui_->SelectedRow(kFunctionList), step.expectedSelection);
  }
}

TEST_F(Win32ListRows, SelectRowSelectsOneRowOrNone) {
  AddRows(3);
  gui_->SelectRow(kFunctionList, 2);
  EXPECT_TRUE(IsSelected(List(), 2));
  gui_->SelectRow(kFunctionList, 0);
  EXPECT_TRUE(IsSelected(List(), 0));
  EXPECT_FALSE(IsSelected(List(), 2));
  EXPECT_EQ(StateImage(List(), 0), kStateImageChecked) << "selecting keeps the tick";
  gui_->SelectRow(kFunctionList, 5);  // no such row: nothing stays selected
  EXPECT_EQ(gui_->SelectedRow(kFunctionList), -1);
  gui_->SelectRow(kFunctionList, 1);
  gui_->SelectRow(kFunctionList, -1);
  EXPECT_EQ(gui_->SelectedRow(kFunctionList), -1);
}

TEST_F(Win32ListRows, ClearingEmptiesTheList) {
  AddRows(5);
  gui_->ClearRows(kFunctionList);
  EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(gui_->AddRow(kFunctionList, {u"again"}, false), 0);
}

TEST_F(Win32ListRows, OperationsOnWhatIsNoListDoNothing) {
  EXPECT_EQ(gui_->AddRow(kLoadLibs, {u"x"}, true), -1);
  EXPECT_EQ(gui_->RowCount(kLibraryPath), 0);
  EXPECT_EQ(gui_->SelectedRow(999), -1);
  EXPECT_EQ(gui_->RowText(kDetailPanel, 0, 0), u"");
  gui_->SetRowState(kLoadLibs, 0, true, true);
  gui_->ClearRows(999);
}

TEST_F(Win32ListRows, TenThousandRowsWhileFrozen) {
  gui_->ShowWindow(kMainWindow, true);
  gui_->FreezeDrawing(kMainWindow, true);
  for (int i = 0; i < 10000; ++i) {
    gui_->AddRow(kFunctionList,
                 {u"Function" + Text(1, static_cast<char16_t>(u'0' + i % 10)), u"( void )", u"INT", u"A description",
                  u"Group", u"page.aspx"},
                 i % 3 == 0);
  }
  gui_->FreezeDrawing(kMainWindow, false);
  EXPECT_EQ(gui_->RowCount(kFunctionList), 10000);
  EXPECT_TRUE(gui_->IsRowChecked(kFunctionList, 9999));
  EXPECT_FALSE(gui_->IsRowChecked(kFunctionList, 9998));
  EXPECT_EQ(gui_->RowText(kFunctionList, 9999, 5), u"page.aspx");
}

}  // namespace
}  // namespace korvane
