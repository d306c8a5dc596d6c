#include "app/main_window.h"

#include "app/program_numbers.h"

namespace korvane {
namespace {

ControlDescription Button(int number, const char16_t* text, int x, int y, int width, int height,
                          const char16_t* tooltip, bool enabled, unsigned style = kStyleNone) {
  ControlDescription control;
  control.number = number;
  control.kind = ControlKind::PushButton;
  control.text = text;
  control.x = x, control.y = y, control.width = width, control.height = height;
  control.tooltip = tooltip;
  control.enabled = enabled;
  control.style = style;
  return control;
}

ControlDescription Field(int number, ControlKind kind, int x, int y, int width, int height, bool enabled,
                         int parent = -1, unsigned style = kStyleNone) {
  ControlDescription control;
  control.number = number;
  control.kind = kind;
  control.x = x, control.y = y, control.width = width, control.height = height;
  control.enabled = enabled;
  control.parent = parent;
  control.style = style;
  return control;
}

ControlDescription PanelButton(int number, const char16_t* text, int width) {
  ControlDescription control = Button(number, text, 0, 72, width, 18, u"", true, kStyleTextBottom);
  control.parent = kDetailPanel;
  return control;
}

}  // namespace

WindowDescription MainWindowDescription() {
  WindowDescription window;
  window.number = kMainWindow;
  window.main = true;
  window.title = kProgramTitle;
  window.innerWidth = 890, window.innerHeight = 564;
  window.minInnerWidth = 890, window.minInnerHeight = 400;
  window.acceptsFiles = true;

  auto& c = window.controls;
  c.push_back(Button(kLoadLibs, u"Load LIBs", 4, 10, 100, 27, u" Load LIB files ", true));
  c.push_back(Button(kLoadXml, u"Load XML", 108, 10, 100, 27, u" Load previously created XML files ", true));
  c.push_back(Button(kOptionsButton, u"\u00BB", 222, 17, 20, 16, u"", false, kStyleTextBottom));
  c.push_back(Button(kMsdnChecked, u"msdn Checked", 254, 10, 100, 27, u" Search online for all Checked items ", false));
  c.push_back(Button(kMsdnSelected, u"msdn Selected", 358, 10, 100, 27, u" Search online for Selected item ", false));
  c.push_back(Button(kMergeXml, u"Merge XML", 502, 10, 100, 27,
                     u" Merge existing XML functions with the actual LIB ", false));
  c.push_back(Button(kSaveXml, u"Save XML", 606, 10, 100, 27, u" Save the current LIB as XML file ", false));
  c.push_back(Button(kExportPb, u"Export PB", 750, 10, 100, 27,
                     u" Export LIB + APIFunctionListing.txt to Purebasic ", false));
  ControlDescription donation = Button(kDonation, u"", -36, 10, 32, 27, u" Make a donation with PayPal ", true,
                                       kStyleXFromRight);
  donation.kind = ControlKind::PictureButton;
  c.push_back(donation);
  c.push_back(Button(kCheckAll, u"A", 8, 46, 20, 18, u" Check All ", false, kStyleTextVCenter));
  c.push_back(Button(kCheckNone, u"N", 32, 46, 20, 18, u" Check None ", false, kStyleTextVCenter));
  c.push_back(Button(kCheckInvert, u"I", 56, 46, 20, 18, u" Check Invert ", false, kStyleTextVCenter));
  c.push_back(Button(kCheckFilled, u"F", 80, 46, 20, 18, u" Check Filled ", false, kStyleTextVCenter));
  // Wide enough for "x64" in the system font at every resolution.
  c.push_back(Field(kArchitecture, ControlKind::TextField, 104, 46, 36, 18, false, -1, kStyleTextCentered));
  c.push_back(Field(kLibraryPath, ControlKind::TextField, 141, 46, 0, 18, false));

  ControlDescription functions = Field(kFunctionList, ControlKind::ListView, 4, 68, -8, -72, true, -1,
                                       kStyleWidthFromRight | kStyleHeightFromBottom | kStyleColumnsReorder);
  functions.columns = {{u"Function", 228}, {u"Parameters", 192}, {u"Return", 50},
                       {u"Description", 190}, {u"Group", 100}, {u"Website", 101}};
  functions.textColour = 0x151515, functions.backgroundColour = 0xFCFCFC;
  c.push_back(functions);

  ControlDescription libraries = Field(kLibrariesList, ControlKind::ListView, 0, 0, 0, 0, true);
  libraries.columns = {{u"Libraries", 133}};
  libraries.textColour = 0x151515, libraries.backgroundColour = 0xF9F9F9;
  libraries.visible = false;
  c.push_back(libraries);

  ControlDescription panel = Field(kDetailPanel, ControlKind::Panel, 0, 0, 0, 0, true);
  panel.visible = false;
  c.push_back(panel);
  c.push_back(Field(kDetailFunction, ControlKind::TextField, 4, 4, 224, 18, false, kDetailPanel));
  c.push_back(Field(kDetailParameters, ControlKind::TextField, 230, 4, 0, 18, true, kDetailPanel));
  c.push_back(Field(kDetailReturn, ControlKind::TextField, 0, 4, 114, 18, true, kDetailPanel));
  c.push_back(Field(kDetailDescription, ControlKind::MultiLineField, 4, 24, 0, 46, true, kDetailPanel));
  c.push_back(Field(kDetailGroup, ControlKind::TextField, 4, 72, 224, 18, true, kDetailPanel));
  c.push_back(Field(kDetailWebsite, ControlKind::TextField, 230, 72, 0, 18, true, kDetailPanel));
  c.push_back(PanelButton(kDetailSave, u"Save", 57));
  c.push_back(PanelButton(kDetailClear, u"Clear", 56));

  ControlDescription browser = Field(kBrowser, ControlKind::Browser, 4, 340, -8, 200, true, -1,
                                     kStyleUnscaled | kStyleWidthFromRight);
  browser.text = u"about:blank";
  browser.visible = false;
  c.push_back(browser);

  // The time field holds " 00:00:00 / 00:00:00" whole; the progress and count fields give the message
  // field the room for a load's " Skipped <file>: <reason>" at the window's smallest width.
  const int* widths = kStatusFieldUnits;
  window.statusFields = {{widths[0], u""},
                         {widths[1], u" 0 Functions"},
                         {widths[2], kReadyText},
                         {widths[3], u" 00:00:00 / 00:00:00"},
                         {widths[4], u" Korvane for Purebasic"}};
  window.optionsMenu = {{kMenuSkipFilled, u"Skip Filled + Unchecked Functions", true},
                        {kMenuSaveImportFile, u"Save Import File...", false}};
  return window;
}

}  // namespace korvane
