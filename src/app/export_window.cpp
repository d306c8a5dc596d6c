#include "app/export_window.h"

#include "app/program_numbers.h"
#include "export/listing.h"

namespace korvane {
namespace {

ControlDescription Control(int number, ControlKind kind, const char16_t* text, int x, int y, int width, int height,
                           unsigned style = kStyleNone) {
  ControlDescription control;
  control.number = number;
  control.kind = kind;
  control.text = text;
  control.x = x, control.y = y, control.width = width, control.height = height;
  control.style = style;
  return control;
}

}  // namespace

WindowDescription ExportWindowDescription() {
  WindowDescription window;
  window.number = kExportWindow;
  window.title = kExportWindowTitle;
  window.innerWidth = 500, window.innerHeight = 174;
  window.resizable = false;
  window.owner = kMainWindow;

  // Edges measured from the right or the bottom are negative offsets from the client size.
  constexpr unsigned kRight = kStyleXFromRight;
  // Labels, the check box and the option buttons are wide enough for their texts in the system font at
  // every resolution; the template field starts after its label.
  auto& c = window.controls;
  c.push_back(Control(kExportRootLabel, ControlKind::Label, u"PB Root:", 10, 17, 50, 18));
  c.push_back(Control(kExportRoot, ControlKind::ComboBox, u"", 60, 14, -90, 20, kStyleWidthFromRight));
  c.push_back(Control(kExportBrowse, ControlKind::PushButton, u"...", -26, 14, 20, 20, kRight));
  c.push_back(Control(kExportUpdateListing, ControlKind::CheckBox, u"Update APIFunctionListing.txt", 10, 52, 190, 20));
  c.push_back(Control(kExportTemplateLabel, ControlKind::Label, u"Function ( Params )", 10, 77, 118, 20));
  c.push_back(Control(kExportTemplate, ControlKind::TextField, kDefaultDescriptionTemplate, 130, 74, -160, 20,
                      kStyleWidthFromRight));
  c.push_back(Control(kExportResetTemplate, ControlKind::PushButton, u"r", -26, 74, 20, 20, kRight));
  c.push_back(Control(kExportConnector, ControlKind::Label, u"\\_", 80, 97, 20, 20));
  ControlDescription inOut = Control(kExportInOut, ControlKind::OptionButton, u"InOut", 102, 100, 76, 20,
                                     kStyleGroupStart);
  inOut.checked = true;
  c.push_back(inOut);
  c.push_back(Control(kExportKeepSal, ControlKind::OptionButton, u"_Inout_", 102, 120, 76, 20));
  c.push_back(Control(kExportRemoveSal, ControlKind::OptionButton, u"Remove", 102, 140, 76, 20));
  c.push_back(Control(kExportRun, ControlKind::PushButton, u"Export", -168, -34, 80, 27, kRight | kStyleYFromBottom));
  c.push_back(Control(kExportCancel, ControlKind::PushButton, u"Cancel", -84, -34, 78, 27, kRight | kStyleYFromBottom));
  return window;
}

}  // namespace korvane
