#include "app/layout.h"

#include "app/program_numbers.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

// Sets one coordinate of a control, keeping the others.
void Place(Gui& gui, int control, int Rect::*field, int value) {
  Rect rect = gui.GetRect(control);
  rect.*field = value;
  gui.SetRect(control, rect);
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

  if (panel) {
    const Rect editor = {scale.ScaledX(4), Scale::Round(list.y + list.height + 4 * scale.y), fromWidth(8),
                         scale.ScaledY(96)};
    gui.SetRect(kDetailPanel, editor);
  }
  if (libraries) {
    const int left = 2 * list.x + list.width;
    gui.SetRect(kLibrariesList, {left, list.y, Scale::Round(inner.width - left - 4 * scale.x), fromHeight(below)});
  }
  if (panel) LayoutPanelControls(gui, scale, gui.GetRect(kDetailPanel).width);
}

}  // namespace korvane
