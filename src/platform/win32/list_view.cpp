// Report-style list views: columns, colours, extended styles and the flat header.
#include "platform/win32/win32_controls.h"
#include "platform/win32/wide_text.h"

namespace korvane::win32 {
namespace {

// The SDK defines the extended styles as int; as DWORD they go into one list without sign conversions.
constexpr DWORD kFullRowSelect = LVS_EX_FULLROWSELECT;
constexpr DWORD kHeaderDragDrop = LVS_EX_HEADERDRAGDROP;
constexpr DWORD kCheckBoxes = LVS_EX_CHECKBOXES;
constexpr DWORD kLabelTip = LVS_EX_LABELTIP;

// Table colours are written 0xRRGGBB; a COLORREF is 0x00BBGGRR.
COLORREF ToColorRef(unsigned rgb) { return RGB((rgb >> 16) & 0xFFu, (rgb >> 8) & 0xFFu, rgb & 0xFFu); }

void AddExtendedStyle(HWND list, DWORD style) {
  // wParam is the mask: only the named bits change, so each call adds its styles to the ones before.
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, style, static_cast<LPARAM>(style));
}

void AddColumn(HWND list, int index, const ListColumn& column, Scale scale) {
  std::wstring title = ToWide(column.title);
  LVCOLUMNW lvColumn{};
  lvColumn.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  lvColumn.pszText = title.data();
  lvColumn.cx = scale.ScaledX(column.width);
  lvColumn.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lvColumn));
}

void SetColours(HWND list, const ControlDescription& control) {
  const COLORREF text = ToColorRef(control.textColour);
  const COLORREF background = ToColorRef(control.backgroundColour);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
  SendMessageW(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
}

// Without HDS_BUTTONS a click on a column title shows no pressed state: the titles are labels only.
void MakeHeaderFlat(HWND list) {
  auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header == nullptr) return;
  const LONG_PTR style = GetWindowLongPtrW(header, GWL_STYLE);
  SetWindowLongPtrW(header, GWL_STYLE, style & ~static_cast<LONG_PTR>(HDS_BUTTONS));
}

}  // namespace

HWND CreateListView(const ControlDescription& control, const Rect& rect, HWND parent, HFONT font, Scale scale) {
  const DWORD style = CommonStyle(control) | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  HWND list = CreateChild(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", style, rect, parent, control.number, font);
  if (list == nullptr) return nullptr;
  for (std::size_t i = 0; i < control.columns.size(); ++i) {
    AddColumn(list, static_cast<int>(i), control.columns[i], scale);
  }
  SetColours(list, control);
  AddExtendedStyle(list, LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  // The further styles are added one call at a time, in this order.
  if ((control.style & kStyleColumnsReorder) != 0) {
    for (DWORD extra : {kFullRowSelect, kHeaderDragDrop, kCheckBoxes, kLabelTip}) {
      AddExtendedStyle(list, extra);
    }
  } else {
    for (DWORD extra : {kFullRowSelect, kLabelTip, kCheckBoxes}) AddExtendedStyle(list, extra);
  }
  MakeHeaderFlat(list);
  return list;
}

}  // namespace korvane::win32
