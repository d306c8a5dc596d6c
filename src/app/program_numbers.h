#pragma once
// The program's own numbers: its windows, their controls, the status bar's fields, the options menu's
// items and the event kinds and types the program queues for itself. Every file of the program uses these
// names and none spells the numbers; the platform never sees the names, only the numbers in the window
// descriptions and events.

#include "app/program_numbers.h"

namespace korvane {

// Windows.
inline constexpr int kMainWindow = 0;
inline constexpr int kExportWindow = 2;

// The program's own events.
inline constexpr int kTypeAutomaticMerge = 14002;  // a control event of kMergeXml, queued by a library load
inline constexpr int kEventPageLoaded = 15001;     // a page source ended a load (see LookupSession)

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

}  // namespace korvane
