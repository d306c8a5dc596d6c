#include "app/catalogue_file_commands.h"

#include <string>
#include <vector>

#include "catalogue/catalogue_files.h"
#include "app/function_list_view.h"
#include "app/library_commands.h"
#include "platform/events.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr char16_t kXmlFilter[] = u"xml (*.xml)|*.xml";

void ShowFirstCatalogue(Session& session, const LibraryEntry& entry) {
  Gui& gui = session.platform.gui;
  ShowLibrary(session, entry);
  DetachCheckBoxHook(session);  // attached again once the whole load is done
  ShowFunctionCount(session, entry.functions.size());
  gui.SetText(kLibraryPath, entry.path);
  EnableLibraryCommands(gui, true);
  gui.SetVisible(kDetailPanel, false);
  gui.SetVisible(kLibrariesList, false);
  RequestLayout(gui);
}

// Loads one chosen file; false when it gives no library (unreadable, malformed, no library name in
// its file name, or a library this load already has).
bool LoadOneCatalogueFile(Session& session, const Text& path, bool first) {
  KORVANE_HERE();
  const Text fileName = LibraryFileNameFromCatalogueFile(path);
  const Text key = LibraryKeyFromPath(fileName);
  // A second file for the same library would replace the records behind rows already shown.
  if (fileName.empty() || session.catalogue.Find(key) != nullptr) return false;
  std::optional<CatalogueDocument> document = ReadCatalogueFile(session.platform.files, path);
  if (!document) return false;
  LibraryEntry& entry = session.catalogue.FindOrCreate(key);
  ApplyCatalogueDocument(entry, std::move(*document));
  Gui& gui = session.platform.gui;
  gui.SetText(kArchitecture, ArchitectureText(entry));
  gui.AddRow(kLibrariesList, {fileName}, true);
  if (first) {
    session.catalogue.SetShown(key);
    ShowFirstCatalogue(session, entry);
  }
  return true;
}

}  // namespace

void SaveCatalogueFiles(Session& session) {
  KORVANE_HERE();
  const LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr || shown->functions.empty()) return;
  Platform& platform = session.platform;
  std::vector<Text> failed;
  session.catalogue.ForEach([&](LibraryEntry& entry) {
    KORVANE_HERE();
    const std::string document = WriteCatalogueDocument(entry);
    const Text name = CatalogueFileName(entry, platform.clock.Now());
    if (!platform.files.WriteWholeFile(session.catalogueFolder + name, AsBytes(document))) failed.push_back(name);
  });
  if (failed.empty()) {
    platform.gui.ShowMessage(u"Korvane", u"Saving file(s) completed!", MessageBoxKind::Ok,
                             MessageBoxIcon::Information);
    return;
  }
  // A save that lost files must not look like a complete one.
  Text text = u"Could not save these file(s) in " + session.catalogueFolder + u":";
  for (const Text& name : failed) text += u"\n" + name;
  platform.gui.ShowMessage(u"Korvane", text, MessageBoxKind::Ok, MessageBoxIcon::Error);
}

void LoadCatalogueFiles(Session& session) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  const std::vector<Text> paths =
      session.platform.dialogs.OpenFiles(u"Open XML", session.catalogueFolder, kXmlFilter, true);
  if (paths.empty()) return;
  gui.FreezeDrawing(kMainWindow, true);
  DetachCheckBoxHook(session);
  session.catalogue.Clear();
  gui.ClearRows(kLibrariesList);
  gui.ClearRows(kFunctionList);
  gui.SetVisible(kDetailPanel, false);
  session.detailRecord = nullptr;
  session.catalogue.shownLibraryRow = 0;
  int loaded = 0;
  for (const Text& path : paths) {
    if (LoadOneCatalogueFile(session, path, loaded == 0)) ++loaded;
  }
  if (loaded > 1) {
    gui.SelectRow(kLibrariesList, 0);
    gui.SetVisible(kLibrariesList, true);
    RequestLayout(gui);
  }
  AttachCheckBoxHook(session);
  gui.FreezeDrawing(kMainWindow, false);
}

void MergeCatalogueFiles(Session& session, int eventType) {
  KORVANE_HERE();
  Gui& gui = session.platform.gui;
  std::vector<Text> paths;
  if (eventType == kTypeClick) {
    paths = session.platform.dialogs.OpenFiles(u"Merge XML", session.catalogueFolder, kXmlFilter, true);
  } else if (eventType == kTypeAutomaticMerge) {
    paths = {session.catalogueFolder + kMasterMergeFileName};
    gui.SelectRow(kLibrariesList, 0);
  }
  if (paths.empty()) return;

  MergeSet merge;
  for (const Text& path : paths) {
    // A file that cannot be read or parsed (the master merge file is often absent) adds nothing.
    if (auto document = ReadCatalogueFile(session.platform.files, path)) {
      merge.Replace(LibraryFileNameFromCatalogueFile(path), std::move(document->records));
    }
  }
  if (merge.Empty()) return;
  gui.FreezeDrawing(kMainWindow, true);
  DetachCheckBoxHook(session);
  MergeIntoCatalogue(session.catalogue, merge);
  // The rows are refilled from the records; the row the detail editor showed is gone.
  gui.ClearRows(kFunctionList);
  gui.SetVisible(kDetailPanel, false);
  session.detailRecord = nullptr;
  RequestLayout(gui);
  const int row = gui.SelectedRow(kLibrariesList);
  const Text key = row == -1 ? Text() : LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0));
  if (row != -1 && session.catalogue.SetShown(key)) ShowLibrary(session, *session.catalogue.Shown());
  AttachCheckBoxHook(session);
  gui.FreezeDrawing(kMainWindow, false);
}

}  // namespace korvane
