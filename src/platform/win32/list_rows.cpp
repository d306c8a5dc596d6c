// Rows of report-style list views: adding, reading and changing them, and their state bits.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_controls.h"

namespace korvane::win32 {
namespace {

// The state image index lives in bits 12 to 15 of an item's state (INDEXTOSTATEIMAGEMASK).
constexpr UINT StateImageMask(int image) { return static_cast<UINT>(image) << 12; }

void SetCell(HWND list, int row, int column, const Text& text) {
  std::wstring wide = ToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetState(HWND list, int row, UINT state, UINT mask) {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int InsertRow(HWND list, const std::vector<Text>& columns, bool checked) {
  std::wstring first = columns.empty() ? std::wstring() : ToWide(columns.front());
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = RowCount(list);  // at the end
  item.pszText = first.data();
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return -1;
  for (std::size_t column = 1; column < columns.size(); ++column) {
    SetCell(list, row, static_cast<int>(column), columns[column]);
  }
  // The list inserts the row with its box cleared; the tick is a state change, reported as such.
  if (checked) SetState(list, row, StateImageMask(kStateImageChecked), LVIS_STATEIMAGEMASK);
  return row;
}

void SetRowTexts(HWND list, int row, const std::vector<Text>& columns) {
  if (row < 0 || row >= RowCount(list)) return;
  for (std::size_t column = 0; column < columns.size(); ++column) {
    SetCell(list, row, static_cast<int>(column), columns[column]);
  }
}

Text CellText(HWND list, int row, int column) {
  if (row < 0 || row >= RowCount(list) || column < 0) return {};
  // LVM_GETITEMTEXT cannot tell the text's length: grow the buffer until the text fits with room left.
  std::wstring buffer(256, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto copied = static_cast<std::size_t>(
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (copied + 1 < buffer.size()) return FromWide(std::wstring_view(buffer.data(), copied));
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

int SelectedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SetRowState(HWND list, int row, bool selected, bool checked) {
  if (row < 0 || row >= RowCount(list)) return;
  // Both bits in one message: the list raises one state change for the row, as for a user's click.
  const UINT selection = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  const UINT image = StateImageMask(checked ? kStateImageChecked : kStateImageUnchecked);
  SetState(list, row, selection | image, LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK);
}

int RowStateImage(HWND list, int row) {
  const auto state =
      static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

void SelectOnly(HWND list, int row) {
  if (row < 0 || row >= RowCount(list)) row = -1;
  // A single-selection list has at most one selected row; only rows whose bit changes are touched, so
  // the list reports exactly the changes a user's click would cause.
  const int previous = SelectedRow(list);
  if (previous == row) return;
  // The focus goes with the selection, so the old row reports one change, not one for each bit.
  if (previous != -1) SetState(list, previous, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row != -1) SetState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

}  // namespace korvane::win32
