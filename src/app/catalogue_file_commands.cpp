#include "app/catalogue_file_commands.h"

#include <string>
#include <utility>
#include <vector>

#include "app/function_list_view.h"
#include "app/library_commands.h"
#include "app/main_window.h"
#include "catalogue/catalogue_files.h"
#include "catalogue/load_files.h"
#include "catalogue/save_files.h"
#include "app/program_numbers.h"
#include "app/unsaved_changes.h"
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

// What a merge says about its files that added nothing: one named with its reason; several counted,
// the first named. " Ready..." when every file was read.
Text MergeMessage(const std::vector<std::pair<Text, SkipReason>>& skipped) {
  if (skipped.empty()) return kReadyText;
  const auto& [path, reason] = skipped.front();
  const std::string_view why = SkipReasonText(reason, FileKinds::CatalogueFiles);
  Text message = u" ";
  if (skipped.size() == 1) {
    message.append(u"Not merged ");
  } else {
    message.append(DecimalText(skipped.size()));
    message.append(u" files not merged, the first ");
  }
  message.append(FileNameFromPath(path));
  message.append(u": ");
  message.append(why.begin(), why.end());
  return message;
}

}  // namespace

bool SaveCatalogueFiles(Session& session) {
  KORVANE_HERE();
  const LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr || shown->functions.empty()) return !HasUnsavedChanges(session);
  Platform& platform = session.platform;
  const std::vector<SavedFile> results =
      SaveCatalogueDocuments(session.catalogue, session.catalogueFolder, platform.files, platform.clock);
  for (const SavedFile& file : results) {
    if (file.status == SaveStatus::Written) RememberLibraryAsSaved(session, file.key);
  }
  const Text problems = SaveProblems(results, session.catalogueFolder);
  if (problems.empty()) {
    platform.gui.ShowMessage(kMainWindow, u"Korvane", u"Saving file(s) completed!", MessageBoxKind::Ok,
                             MessageBoxIcon::Information);
  } else {
    // A save that left files out must not look like a complete one.
    platform.gui.ShowMessage(kMainWindow, u"Korvane", problems, MessageBoxKind::Ok, MessageBoxIcon::Error);
  }
  return !HasUnsavedChanges(session);
}

void LoadCatalogueFiles(Session& session) {
  KORVANE_HERE();
  const std::vector<Text> paths =
      session.platform.dialogs.OpenFiles(u"Open XML", session.catalogueFolder, kXmlFilter, true);
  if (paths.empty() || !MayReplaceCatalogue(session)) return;
  Catalogue loaded;
  const LoadOutcome outcome = LoadFiles(loaded, session.platform.files, paths, FileKinds::CatalogueFiles);
  TakeLoadedLibraries(session, std::move(loaded), outcome, FileKinds::CatalogueFiles);
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
  std::vector<std::pair<Text, SkipReason>> skipped;
  for (const Text& path : paths) {
    CatalogueFileRead read = ReadCatalogueFileForMerge(session.platform.files, path);
    if (read.document) {
      merge.Replace(LibraryFileNameFromCatalogueFile(path), std::move(read.document->records));
    } else if (eventType == kTypeClick || read.reason != SkipReason::Missing) {
      // The master merge file is often absent, which is no news; any other file that adds nothing is.
      skipped.emplace_back(path, read.reason);
    }
  }
  if (eventType == kTypeClick || !skipped.empty()) gui.SetStatusText(kStatusMessage, MergeMessage(skipped));
  if (merge.Empty()) return;
  // The rows are refilled from the records; the row the detail editor showed is gone. The shown
  // library stays shown, with its merged rows.
  RefillFunctionList(session, [&] {
    KORVANE_HERE();
    MergeIntoCatalogue(session.catalogue, merge);
    RequestLayout(gui);
    if (const LibraryEntry* shown = session.catalogue.Shown()) ShowLibrary(session, *shown);
  });
  // The merge that follows a load brings facts the master merge file holds: part of the load, it is
  // no change of the user's. A merge the user chose is.
  if (eventType == kTypeAutomaticMerge) RememberCatalogueAsSaved(session);
}

}  // namespace korvane
