#include "app/catalogue_file_commands.h"

#include <string>
#include <vector>

#include "app/function_list_view.h"
#include "app/library_commands.h"
#include "catalogue/catalogue_files.h"
#include "catalogue/load_files.h"
#include "catalogue/save_files.h"
#include "app/program_numbers.h"
#include "platform/source_location.h"
#include "text/paths.h"

namespace korvane {
namespace {

constexpr char16_t kXmlFilter[] = u"xml (*.xml)|*.xml";

// What a save that did not write every library says, one line per file not written.
Text SaveProblems(const std::vector<SavedFile>& results, const Text& folder) {
  Text text;
  for (const SavedFile& file : results) {
    const Text name = FileNameFromPath(file.target);
    if (file.status == SaveStatus::WriteFailed) text += u"\nCould not write " + name;
    if (file.status == SaveStatus::NameTaken) {
      text += u"\nNot saved: " + name + u" (" + file.libraryPath + u"), because the file of " + file.takenBy +
              u" has the same name when letter case is ignored";
    }
  }
  return text.empty() ? text : u"Some file(s) were not saved in " + folder + u":" + text;
}

}  // namespace

void SaveCatalogueFiles(Session& session) {
  KORVANE_HERE();
  const LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr || shown->functions.empty()) return;
  Platform& platform = session.platform;
  const std::vector<SavedFile> results =
      SaveCatalogueDocuments(session.catalogue, session.catalogueFolder, platform.files, platform.clock);
  const Text problems = SaveProblems(results, session.catalogueFolder);
  if (problems.empty()) {
    platform.gui.ShowMessage(u"Korvane", u"Saving file(s) completed!", MessageBoxKind::Ok,
                             MessageBoxIcon::Information);
    return;
  }
  // A save that left files out must not look like a complete one.
  platform.gui.ShowMessage(u"Korvane", problems, MessageBoxKind::Ok, MessageBoxIcon::Error);
}

void LoadCatalogueFiles(Session& session) {
  KORVANE_HERE();
  const std::vector<Text> paths =
      session.platform.dialogs.OpenFiles(u"Open XML", session.catalogueFolder, kXmlFilter, true);
  if (paths.empty()) return;
  RefillFunctionList(session, [&] {
    KORVANE_HERE();
    const LoadOutcome outcome =
        LoadFiles(session.catalogue, session.platform.files, paths, FileKinds::CatalogueFiles);
    ShowLoadedLibraries(session, outcome);
  });
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
  // The rows are refilled from the records; the row the detail editor showed is gone.
  RefillFunctionList(session, [&] {
    MergeIntoCatalogue(session.catalogue, merge);
    RequestLayout(gui);
    const int row = gui.SelectedRow(kLibrariesList);
    const Text key = row == -1 ? Text() : LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0));
    if (row != -1 && session.catalogue.SetShown(key)) ShowLibrary(session, *session.catalogue.Shown());
  });
}

}  // namespace korvane
