#pragma once
// Window, event and control numbers. These are the numbers of the windows' tables: every other file
// uses these names and none spells the numbers.

#include "text/text.h"

namespace korvane {

// Windows.
inline constexpr int kMainWindow = 0;
inline constexpr int kExportWindow = 2;

// Event kinds.
inline constexpr int kEventControl = 13100;
inline constexpr int kEventMenu = 13101;
inline constexpr int kEventFilesDropped = 13105;
inline constexpr int kEventCloseWindow = 13116;
inline constexpr int kEventSizeChanged = 13118;

// Control event types.
inline constexpr int kTypeClick = 0;
inline constexpr int kTypeDoubleClick = 2;
inline constexpr int kTypeChanged = 768;
inline constexpr int kTypeAutomaticMerge = 14002;  // queued by a library load
// Page-source events of control kBrowser (see platform/page_source.h).
inline constexpr int kTypePageLoaded = 15001;
inline constexpr int kTypePageFailed = 15002;
inline constexpr int kTypePageNotification = 15003;  // any further event of a load (progress, title)

// Controls of the main window.
inline constexpr int kStatusBar = 1;  // the status bar (addressed apart from the controls below)
inline constexpr int kLoadLibs = 0;
inline constexpr int kLoadXml = 1;
inline constexpr int kOptionsButton = 2;  // "»"
inline constexpr int kMsdnChecked = 3;
inline constexpr int kMsdnSelected = 4;
inline constexpr int kMergeXml = 5;
inline constexpr int kSaveXml = 6;
inline constexpr int kExportPb = 7;
inline constexpr int kDonation = 8;
inline constexpr int kCheckAll = 9;
inline constexpr int kCheckNone = 10;
inline constexpr int kCheckInvert = 11;
inline constexpr int kCheckFilled = 12;
inline constexpr int kLibraryPath = 13;
inline constexpr int kArchitecture = 14;
inline constexpr int kFunctionList = 15;
inline constexpr int kLibrariesList = 16;
inline constexpr int kBrowser = 17;
inline constexpr int kDetailPanel = 18;
inline constexpr int kDetailFunction = 19;
inline constexpr int kDetailParameters = 20;
inline constexpr int kDetailReturn = 21;
inline constexpr int kDetailDescription = 22;
inline constexpr int kDetailGroup = 23;
inline constexpr int kDetailWebsite = 24;
inline constexpr int kDetailSave = 25;
inline constexpr int kDetailClear = 26;

// Controls of the export window.
inline constexpr int kExportRootLabel = 27;      // "PB Root:"
inline constexpr int kExportRoot = 28;           // root folder: drop-down list with an editable field
inline constexpr int kExportBrowse = 29;         // "..."
inline constexpr int kExportUpdateListing = 30;  // check box "Update APIFunctionListing.txt"
inline constexpr int kExportTemplateLabel = 31;  // "Function ( Params )"
inline constexpr int kExportTemplate = 32;       // description template
inline constexpr int kExportResetTemplate = 33;  // "r"
inline constexpr int kExportConnector = 34;      // "\_"
inline constexpr int kExportInOut = 35;          // option "InOut" (first of the group)
inline constexpr int kExportKeepSal = 36;        // option "_Inout_"
inline constexpr int kExportRemoveSal = 37;      // option "Remove"
inline constexpr int kExportRun = 38;            // "Export"
inline constexpr int kExportCancel = 39;         // "Cancel"

// Items of the main window's options menu.
inline constexpr int kMenuSkipFilled = 1;
inline constexpr int kMenuSaveImportFile = 2;  // "Save Import File..."

// Status bar fields.
inline constexpr int kStatusProgress = 0;
inline constexpr int kStatusCount = 1;
inline constexpr int kStatusMessage = 2;
inline constexpr int kStatusTime = 3;
inline constexpr int kStatusCredit = 4;

// List view state images: 1 box cleared, 2 box ticked.
inline constexpr int kStateImageUnchecked = 1;
inline constexpr int kStateImageChecked = 2;

// One event, as the loop receives it.
struct Event {
  int kind = 0;
  int window = kMainWindow;
  int control = -1;  // control number for control events, item number for menu events
  int type = 0;      // control event type
  Text files;        // dropped paths separated by line feeds, for kEventFilesDropped
  Text address;      // the page's address, for page-source events
  Text reason;       // why the page failed to load, for kTypePageFailed
};

}  // namespace korvane
