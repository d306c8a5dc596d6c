#include "app/library_commands.h"

#include <algorithm>

#include "app/function_list_view.h"
#include "catalogue/library_loader.h"
#include "platform/events.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr int kLibraryCommands[] = {kOptionsButton, kMsdnChecked, kMergeXml, kSaveXml, kExportPb,
                                    kCheckAll,      kCheckNone,   kCheckInvert, kCheckFilled};

// The files of one load: the requester's choice in its order, or the drop sorted without regard to
// letter case. Empty paths are left out.
std::vector<Text> ChooseFiles(Session& session, const Text& droppedFiles) {
  std::vector<Text> paths;
  if (droppedFiles.empty()) {
    paths = session.platform.dialogs.OpenFiles(u"Open LIB", session.libraryFolder, u"lib (*.lib)|*.lib", true);
  } else {
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = droppedFiles.find(u'\n', start);
      paths.push_back(droppedFiles.substr(start, end == Text::npos ? Text::npos : end - start));
      if (end == Text::npos) break;
      start = end + 1;
    }
    std::stable_sort(paths.begin(), paths.end(), [](const Text& a, const Text& b) { return LessNoCase(a, b); });
  }
  std::erase_if(paths, [](const Text& path) { return path.empty(); });
  return paths;
}

void ResetViews(Session& session) {
  Gui& gui = session.platform.gui;
  gui.ClearRows(kLibrariesList);
  gui.ClearRows(kFunctionList);
  gui.SetVisible(kDetailPanel, false);
  session.detailRecord = nullptr;
}

void ShowFirstLibrary(Session& session, const LibraryEntry& entry) {
  Gui& gui = session.platform.gui;
  for (const ApiFunction& record : entry.functions) {
    const RowTexts texts = RowText(record);
    gui.AddRow(kFunctionList, std::vector<Text>(texts.begin(), texts.end()), true);
  }
  ShowFunctionCount(session, entry.functions.size());
  EnableLibraryCommands(gui, true);
  gui.SetVisible(kDetailPanel, false);
  gui.SetVisible(kLibrariesList, false);
  RequestLayout(gui);
}

}  // namespace

void EnableLibraryCommands(Gui& gui, bool enabled) {
  for (const int control : kLibraryCommands) gui.SetEnabled(control, enabled);
  gui.SetEnabled(kMsdnSelected, false);
}

void RequestLayout(Gui& gui) { gui.QueueEvent({kEventSizeChanged, kMainWindow, -1, 0, {}, {}, {}}); }

void LoadLibraries(Session& session, const Text& droppedFiles) {
  Gui& gui = session.platform.gui;
  KORVANE_HERE();
  const std::vector<Text> paths = ChooseFiles(session, droppedFiles);
  if (paths.empty()) return;
  if (session.rememberLibraryFolder) session.rememberLibraryFolder(FolderFromPath(paths.front()));

  gui.FreezeDrawing(kMainWindow, true);
  DetachCheckBoxHook(session);
  ResetViews(session);
  KORVANE_HERE();
  const LoadOutcome outcome =
      LoadLibraryFiles(session.catalogue, session.platform.files, paths, session.platform.decodeSymbolName);
  for (std::size_t i = 0; i < outcome.libraryPaths.size(); ++i) {
    const Text& path = outcome.libraryPaths[i];
    const LibraryEntry& entry = *session.catalogue.Find(LibraryKeyFromPath(path));
    // The architecture field follows each library as it is read, so it ends on the last one.
    gui.SetText(kArchitecture, ArchitectureText(entry));
    KORVANE_HERE();
    if (i == 0) ShowFirstLibrary(session, entry);
    gui.AddRow(kLibrariesList, {FileNameFromPath(path)}, true);
  }
  gui.SetText(kLibraryPath, outcome.FirstLibraryPath());
  if (outcome.libraryPaths.size() > 1) {
    gui.SelectRow(kLibrariesList, 0);
    gui.SetVisible(kLibrariesList, true);
    RequestLayout(gui);
  }
  AttachCheckBoxHook(session);
  gui.FreezeDrawing(kMainWindow, false);
  gui.QueueEvent({kEventControl, kMainWindow, kMergeXml, kTypeAutomaticMerge, {}, {}, {}});
}

void LibrariesSelectionChanged(Session& session) {
  Gui& gui = session.platform.gui;
  KORVANE_HERE();
  const int row = gui.SelectedRow(kLibrariesList);
  Catalogue& catalogue = session.catalogue;
  if (row == -1 || row == catalogue.shownLibraryRow) {
    gui.SelectRow(kLibrariesList, catalogue.shownLibraryRow);
    return;
  }
  const Text key = LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0));
  // Refilling the function list with drawing suspended: row by row redraws cost seconds.
  gui.FreezeDrawing(kMainWindow, true);
  DetachCheckBoxHook(session);
  gui.ClearRows(kFunctionList);
  gui.SetVisible(kDetailPanel, false);
  session.detailRecord = nullptr;
  RequestLayout(gui);
  gui.SetEnabled(kMsdnSelected, false);
  if (catalogue.SetShown(key)) {
    const LibraryEntry& entry = *catalogue.Shown();
    ShowLibrary(session, entry);
    gui.SetText(kArchitecture, ArchitectureText(entry));
    gui.SetText(kLibraryPath, entry.path);
    ShowFunctionCount(session, entry.functions.size());
  }
  AttachCheckBoxHook(session);
  gui.FreezeDrawing(kMainWindow, false);
  catalogue.shownLibraryRow = row;
}

}  // namespace korvane
