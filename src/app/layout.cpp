#include "app/layout.h"

#include <algorithm>
#include <vector>

#include "app/main_window.h"
#include "app/program_numbers.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

// The message field keeps room for " Looking up <function> (n of m)..." with a long name. A window
// narrower than that takes it from the progress bar first, then from the credit.
constexpr double kMessageUnits = 300;
constexpr double kLeastProgressUnits = 100;
constexpr double kLeastCreditUnits = 60;
// Gaps between the buttons of the top row shrink down to this in a window narrower than designed.
constexpr double kLeastGapUnits = 4;

// Sets one coordinate of a control, keeping the others.
void Place(Gui& gui, int control, int Rect::*field, int value) {
  Rect rect = gui.GetRect(control);
  rect.*field = value;
  gui.SetRect(control, rect);
}

const WindowDescription& Design() {
  static const WindowDescription design = MainWindowDescription();
  return design;
}

// The buttons along the top edge placed from the left, in order, as designed.
std::vector<const ControlDescription*> TopRow() {
  std::vector<const ControlDescription*> row;
  for (const ControlDescription& control : Design().controls) {
    const bool top = control.parent < 0 && control.y < 20 && (control.style & kStyleXFromRight) == 0;
    if (top && (control.kind == ControlKind::PushButton)) row.push_back(&control);
  }
  std::sort(row.begin(), row.end(), [](const auto* a, const auto* b) { return a->x < b->x; });
  return row;
}

// In a window narrower than designed (a small screen at a high resolution) the wide gaps between the
// top row's buttons give up the missing room in proportion, so that no button goes under the donation
// button at the right edge. At the designed width and wider, every button is where it was designed.
void LayoutTopRow(Gui& gui, Scale scale, double innerUnits) {
  static const std::vector<const ControlDescription*> row = TopRow();
  double spare = 0;
  for (std::size_t i = 1; i < row.size(); ++i) {
    spare += std::max(0.0, row[i]->x - (row[i - 1]->x + row[i - 1]->width) - kLeastGapUnits);
  }
  const double missing = std::clamp(Design().innerWidth - innerUnits, 0.0, spare);
  double shift = 0;
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0 && spare > 0) {
      const double gap = row[i]->x - (row[i - 1]->x + row[i - 1]->width);
      shift += std::max(0.0, gap - kLeastGapUnits) / spare * missing;
    }
    Place(gui, row[i]->number, &Rect::x, Scale::Round((row[i]->x - shift) * scale.x));
  }
}

void LayoutStatusFields(Gui& gui, Scale scale, double innerUnits) {
  double widths[std::size(kStatusFieldUnits)];
  double taken = 0;
  for (std::size_t i = 0; i < std::size(widths); ++i) {
    widths[i] = kStatusFieldUnits[i];
    if (widths[i] > 0) taken += widths[i];
  }
  double missing = kMessageUnits - (innerUnits - taken);
  const auto giveUp = [&](int field, double least) {
    const double given = std::clamp(missing, 0.0, std::max(0.0, widths[field] - least));
    widths[field] -= given;
    missing -= given;
  };
  giveUp(kStatusProgress, kLeastProgressUnits);
  giveUp(kStatusCredit, kLeastCreditUnits);
  std::vector<int> pixels;
  for (const double width : widths) pixels.push_back(width < 0 ? -1 : Scale::Round(width * scale.x));
  gui.SetStatusWidths(pixels);
}

void LayoutPanelControls(Gui& gui, Scale scale, int panelWidth) {
  auto fromRight = [&](double units) { return Scale::Round(panelWidth - units * scale.x); };
  Place(gui, kDetailParameters, &Rect::width, fromRight(352));
  Place(gui, kDetailReturn, &Rect::x, fromRight(120));
  Place(gui, kDetailDescription, &Rect::width, fromRight(10));
  Place(gui, kDetailWebsite, &Rect::width, fromRight(352));
  Place(gui, kDetailSave, &Rect::x, fromRight(120));
  Place(gui, kDetailClear, &Rect::x, fromRight(62));
}

}  // namespace

void LayoutMainWindow(Gui& gui) {
  KORVANE_HERE();
  const Scale scale = gui.ScreenScale();
  const Size inner = gui.InnerSize(kMainWindow);
  const int statusBar = gui.StatusBarHeight(kMainWindow);
  // Each quantity measured from an edge is computed in double precision and rounded once.
  auto fromWidth = [&](double units) { return Scale::Round(inner.width - units * scale.x); };
  auto fromHeight = [&](double units) { return Scale::Round(inner.height - statusBar - units * scale.y); };
  const double innerUnits = inner.width / scale.x;

  LayoutTopRow(gui, scale, innerUnits);
  LayoutStatusFields(gui, scale, innerUnits);
  Place(gui, kDonation, &Rect::x, fromWidth(36));
  Place(gui, kLibraryPath, &Rect::width, fromWidth(145));

  const bool panel = gui.IsVisible(kDetailPanel);
  const bool libraries = gui.IsVisible(kLibrariesList);
  // Room below the list: the 96-unit panel with a 4-unit gap above and below it, or one 4-unit gap.
  const double below = panel ? 172 : 72;
  Rect list = gui.GetRect(kFunctionList);
  list.height = fromHeight(below);
  list.width = fromWidth(libraries ? 166 : 8);
  gui.SetRect(kFunctionList, list);
  list = gui.GetRect(kFunctionList);

  // The editor's fields are laid out while it is hidden too: a field filled while it is zero wide
  // (before the editor first shows) scrolls its text out of sight, and stays blank when it widens.
  const Rect editor = {scale.ScaledX(4), Scale::Round(list.y + list.height + 4 * scale.y), fromWidth(8),
                       scale.ScaledY(96)};
  if (panel) gui.SetRect(kDetailPanel, editor);
  if (libraries) {
    const int left = 2 * list.x + list.width;
    gui.SetRect(kLibrariesList, {left, list.y, Scale::Round(inner.width - left - 4 * scale.x), fromHeight(below)});
  }
  LayoutPanelControls(gui, scale, editor.width);
}

}  // namespace korvane
