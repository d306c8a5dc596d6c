#include "app/event_loop.h"

#include <utility>

#include "app/batch_lookup.h"
#include "app/check_commands.h"
#include "app/layout.h"
#include "app/settings.h"
#include "app/catalogue_file_commands.h"
#include "app/detail_editor.h"
#include "app/export_commands.h"
#include "app/import_file_commands.h"
#include "app/library_commands.h"
#include "app/lookup_commands.h"
#include "app/program_numbers.h"
#include "app/unsaved_changes.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

void DispatchControl(Session& session, const Event& event) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  switch (event.control) {
    case kLoadLibs: LoadLibraries(session, {}); break;
    case kLoadXml: LoadCatalogueFiles(session); break;
    case kMergeXml: MergeCatalogueFiles(session, event.type); break;
    case kSaveXml: SaveCatalogueFiles(session); break;
    case kOptionsButton: gui.ShowOptionsMenu(); break;
    case kDonation: AskForDonation(session); break;
    case kCheckAll: RunCheckCommand(session, CheckCommand::All); break;
    case kCheckNone: RunCheckCommand(session, CheckCommand::None); break;
    case kCheckInvert: RunCheckCommand(session, CheckCommand::Invert); break;
    case kCheckFilled: RunCheckCommand(session, CheckCommand::Filled); break;
    case kFunctionList:
      if (event.type == kTypeChanged) FunctionSelectionChanged(session);
      if (event.type == kTypeDoubleClick) OpenSelectedFunction(session);
      break;
    case kMsdnChecked: MsdnCheckedPressed(session); break;
    case kMsdnSelected: LookUpSelectedFunction(session); break;
    case kLibrariesList:
      if (event.type == kTypeChanged) LibrariesSelectionChanged(session);
      break;
    case kDetailParameters:
      if (event.type == kTypeChanged) ExpandParameterCount(session);
      DetailFieldKey(session, event.type);
      break;
    case kDetailReturn:
    case kDetailDescription:
    case kDetailGroup:
    case kDetailWebsite: DetailFieldKey(session, event.type); break;
    case kDetailSave: SaveDetails(session); break;
    case kDetailClear: ClearDetails(session); break;
    case kExportPb: ShowExportWindow(session); break;
    default: break;  // controls without a command, and commands that come with later features
  }
}

// The export window's controls: one case per control, as the main window's table above.
void DispatchExportControl(Session& session, const Event& event) {
  KORVANE_HERE();
  switch (event.control) {
    case kExportBrowse: ChooseRootFolder(session); break;
    case kExportUpdateListing: ListingSwitchClicked(session); break;
    case kExportResetTemplate: ResetListingTemplate(session); break;
    case kExportInOut: ChooseAnnotationMode(session, 1); break;
    case kExportKeepSal: ChooseAnnotationMode(session, 2); break;
    case kExportRemoveSal: ChooseAnnotationMode(session, 3); break;
    case kExportRun: RunExport(session); break;
    case kExportCancel: HideExportWindow(session); break;
    default: break;  // the root field, the template field and the labels have no command
  }
}

}  // namespace

void AskForDonation(Session& session) {
  KORVANE_HERE();
  const MessageBoxAnswer answer = session.platform.gui.ShowMessage(
      kMainWindow, u"Korvane",
      u"Thank you for any amount you feel comfortable donating.\n"
      u"Every donation keeps this project alive.\n"
      u"Open a secure connection to the payment service's site to donate?",
      MessageBoxKind::YesNo, MessageBoxIcon::Question);
  if (answer == MessageBoxAnswer::Yes) session.platform.shell.OpenAddress(kDonationAddress);
}

bool DispatchMainWindowEvent(Session& session, const Event& event) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  switch (event.kind) {
    case kEventCloseWindow:
      EndBatchLookup(session);
      return !MayReplaceCatalogue(session);
    // A drop is "Load LIBs" by other means: while that command is disabled (a lookup is running and
    // walks the catalogue) the drop is ignored, not loaded over the catalogue the lookup works on.
    case kEventFilesDropped:
      if (gui.IsEnabled(kLoadLibs)) LoadLibraries(session, event.files);
      break;
    case kEventSizeChanged: LayoutMainWindow(gui); break;
    case kEventMenu:
      if (event.control == kMenuSkipFilled) gui.SetMenuChecked(kMenuSkipFilled, !gui.IsMenuChecked(kMenuSkipFilled));
      if (event.control == kMenuSaveImportFile) SaveImportFile(session);
      break;
    case kEventControl: DispatchControl(session, event); break;
    case kEventPageLoaded: PageLoadEvent(session); break;
    default: break;
  }
  return true;
}

void HideExportWindow(Session& session) {
  Gui& gui = session.platform.gui;
  gui.ShowWindow(kExportWindow, false);
  gui.EnableWindow(kMainWindow, true);
}

bool DispatchExportWindowEvent(Session& session, const Event& event) {
  KORVANE_HERE();
  switch (event.kind) {
    case kEventCloseWindow: HideExportWindow(session); break;
    case kEventControl: DispatchExportControl(session, event); break;
    default: break;
  }
  return true;
}

bool DispatchEvent(Session& session, const Event& event) {
  // One line per window: the window's number and the function that handles its events.
  using Dispatch = bool (*)(Session&, const Event&);
  static constexpr std::pair<int, Dispatch> kWindows[] = {
      {kMainWindow, DispatchMainWindowEvent},
      {kExportWindow, DispatchExportWindowEvent},
  };
  for (const auto& [window, dispatch] : kWindows) {
    if (window == event.window) return dispatch(session, event);
  }
  return true;
}

void ApplySettings(Session& session) {
  KORVANE_HERE();
  FileSystem& files = session.platform.files;
  const Settings settings = LoadSettings(files);
  session.settingsPath = settings.settingsPath;
  session.libraryFolder = settings.libraryFolder;
  session.exportSettings.listingUpdate = settings.listingUpdate;
  session.exportSettings.annotationMode = settings.annotationMode;
  session.exportSettings.rootFolders = settings.rootFolders;
  session.lookup.engine = settings.lookupEngine;
  session.lookup.endpoints = {settings.searchBase, settings.libraryBase};
  session.lookup.docsPath = settings.docsPath;
  session.rememberLibraryFolder = [&files, path = settings.settingsPath](const Text& folder) {
    WriteSetting(files, path, kGroupKorvane, kKeyLibDir, folder);
  };
  // Also on a first start, where these are the defaults just written: the window and the new
  // settings file then agree (listing switch on).
  ApplyExportSettings(session);
}

void DispatchUntilClosed(Session& session) {
  for (;;) {
    if (!DispatchEvent(session, session.platform.gui.WaitEvent())) return;
  }
}

}  // namespace korvane
