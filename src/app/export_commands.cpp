#include "app/export_commands.h"

#include <string>
#include <vector>

#include "app/event_loop.h"
#include "app/export_window.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "export/export.h"
#include "app/program_numbers.h"
#include "export/listing.h"
#include "platform/source_location.h"
#include "text/paths.h"

namespace korvane {
namespace {

constexpr char16_t kRootFolderTitle[] = u"Purebasic Root Folder...";
constexpr char16_t kRootFolderStart[] = u"C:\\";

// The options in the order of their stored numbers 1, 2 and 3.
constexpr int kAnnotationOptions[] = {kExportInOut, kExportKeepSal, kExportRemoveSal};

// What the listing switch governs; the labels beside them stay enabled.
constexpr int kListingControls[] = {kExportTemplate, kExportResetTemplate, kExportInOut, kExportKeepSal,
                                    kExportRemoveSal};

void EnableListingControls(Gui& gui, bool enabled) {
  for (const int control : kListingControls) gui.SetEnabled(control, enabled);
}

// The ticked rows of the Libraries list that still have a catalogue entry, in row order.
std::vector<const LibraryEntry*> TickedLibraries(Session& session) {
  Gui& gui = session.platform.gui;
  std::vector<const LibraryEntry*> libraries;
  const int rows = gui.RowCount(kLibrariesList);
  for (int row = 0; row < rows; ++row) {
    if (!gui.IsRowChecked(kLibrariesList, row)) continue;
    const LibraryEntry* entry = session.catalogue.Find(LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0)));
    if (entry != nullptr) libraries.push_back(entry);
  }
  return libraries;
}

AnnotationMode SelectedAnnotationMode(Gui& gui) {
  if (gui.IsChecked(kExportInOut)) return AnnotationMode::Convert;
  if (gui.IsChecked(kExportRemoveSal)) return AnnotationMode::Remove;
  return AnnotationMode::Keep;
}

// The first folder of an installation that `root` lacks, of those this export writes into; empty when
// it has them all. Without them every write would fail one by one.
Text MissingInstallationFolder(FileSystem& files, const Text& root, bool updateListing) {
  for (const Text& folder : {DescriptorFolder(root), LibraryFolder(root)}) {
    if (!files.FolderExists(folder)) return folder;
  }
  if (updateListing && !files.FolderExists(CompilersFolder(root))) return CompilersFolder(root);
  return {};
}

}  // namespace

void ShowExportWindow(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  gui.EnableWindow(kMainWindow, false);
  gui.CentreWindow(kExportWindow);
  gui.ShowWindow(kExportWindow, true);
}

void ApplyExportSettings(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  const ExportSettings& settings = session.exportSettings;
  gui.SetChecked(kExportUpdateListing, settings.listingUpdate);
  EnableListingControls(gui, settings.listingUpdate);
  if (settings.annotationMode >= 1 && settings.annotationMode <= 3) {
    gui.SetChecked(kAnnotationOptions[settings.annotationMode - 1], true);
  }
  for (const Text& folder : settings.rootFolders) gui.AddItem(kExportRoot, folder);
  gui.SelectItem(kExportRoot, -1);
}

void ChooseAnnotationMode(Session& session, int mode) {
  KORVANE_HERE();
  session.exportSettings.annotationMode = mode;
  WriteSetting(session.platform.files, session.settingsPath, kGroupExport, kKeySal, mode);
}

void ResetListingTemplate(Session& session) {
  session.platform.gui.SetText(kExportTemplate, kDefaultDescriptionTemplate);
}

void ListingSwitchClicked(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  const bool on = gui.IsChecked(kExportUpdateListing);
  EnableListingControls(gui, on);
  session.exportSettings.listingUpdate = on;
  WriteSetting(session.platform.files, session.settingsPath, kGroupExport, kKeyApi, on ? 1 : 0);
}

void ChooseRootFolder(Session& session) {
  KORVANE_HERE();
  Text folder = session.platform.dialogs.ChooseFolder(kRootFolderTitle, kRootFolderStart);
  if (folder.empty()) return;
  if (folder.back() != u'\\') folder += u'\\';
  RememberRootFolder(session, folder);
}

void RememberRootFolder(Session& session, const Text& folder) {
  Gui& gui = session.platform.gui;
  const int count = gui.ItemCount(kExportRoot);
  for (int item = 0; item < count; ++item) {
    if (gui.ItemText(kExportRoot, item) == folder) {
      gui.SelectItem(kExportRoot, item);
      return;
    }
  }
  gui.SelectItem(kExportRoot, gui.AddItem(kExportRoot, folder));
  session.exportSettings.rootFolders.push_back(folder);
  const Text key = Text(kKeyRootDirPrefix) + DecimalText(gui.ItemCount(kExportRoot));
  WriteSetting(session.platform.files, session.settingsPath, kGroupPbRoot, key, folder);
}

void RunExport(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  ExportOptions options;
  options.root = gui.GetText(kExportRoot);
  options.updateListing = gui.IsChecked(kExportUpdateListing);
  options.mode = SelectedAnnotationMode(gui);
  options.descriptionTemplate = gui.GetText(kExportTemplate);
  const std::vector<const LibraryEntry*> libraries = TickedLibraries(session);
  const Text root = InstallationRoot(options.root);
  if (!root.empty() && session.platform.files.FolderExists(root)) {
    // Nothing is written into a folder that is not an installation; the window stays open for another.
    if (const Text missing = MissingInstallationFolder(session.platform.files, root, options.updateListing);
        !missing.empty()) {
      gui.ShowMessage(kExportWindow, kProgramTitle, root + u" is not an installation: the folder " + missing + u" is missing.",
                      MessageBoxKind::Ok, MessageBoxIcon::Error);
      return;
    }
  }
  const ExportResult result = ExportToPureBasic(session.platform.files, libraries, options);
  // Nothing was read or written: the window stays open for another root.
  if (!result.rootIsFolder) return;
  // A folder typed into the field is offered next time as a chosen one is, once an export went there.
  if (result.failures.empty()) RememberRootFolder(session, root);
  HideExportWindow(session);
  gui.ShowMessage(kMainWindow, kProgramTitle, ExportClosingMessage(result), MessageBoxKind::Ok,
                  result.failures.empty() ? MessageBoxIcon::None : MessageBoxIcon::Error);
}

}  // namespace korvane
