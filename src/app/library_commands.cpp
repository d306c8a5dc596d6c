#include "app/library_commands.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/batch_lookup.h"
#include "app/function_list_view.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "app/unsaved_changes.h"
#include "platform/source_location.h"
#include "text/paths.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

// Microsoft's import libraries first, as ever; the GNU ones ('libuser32.a', 'user32.dll.a') and any
// other file can be chosen too.
constexpr char16_t kLibraryFilter[] =
    u"lib (*.lib)|*.lib|GNU import libraries (*.a)|*.a|All files (*.*)|*.*";

constexpr int kLibraryCommands[] = {kOptionsButton, kMsdnChecked, kMergeXml, kSaveXml, kExportPb,
                                    kCheckAll,      kCheckNone,   kCheckInvert, kCheckFilled};


// The files of one load: the requester's choice in its order, or the drop sorted without regard to
// letter case. Empty paths are left out.
std::vector<Text> ChooseFiles(Session& session, const Text& droppedFiles) {
  std::vector<Text> paths;
  if (droppedFiles.empty()) {
    paths = session.platform.dialogs.OpenFiles(u"Open LIB", session.libraryFolder, kLibraryFilter, true);
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

Text Plural(std::size_t count, const char16_t* one, const char16_t* many) {
  return DecimalText(static_cast<long long>(count)) + u" " + (count == 1 ? one : many);
}

Text ReasonText(SkipReason reason, FileKinds kinds) {
  const std::string_view reasonText = SkipReasonText(reason, kinds);
  return Text(reasonText.begin(), reasonText.end());
}

// The window loads without message boxes, but never silently: a file left out is named with its
// reason (several: how many, and the first), and a library that lost names on the way must not look
// complete. Nothing to say gives " Ready...".
Text LoadMessage(const LoadOutcome& outcome, FileKinds kinds) {
  // Built by appending: GCC 12 at -O3 warns falsely about chained concatenations here.
  Text message;
  if (!outcome.skipped.empty()) {
    const SkippedFile& first = outcome.skipped.front();
    if (outcome.skipped.size() == 1) {
      message.append(u" Skipped ");
    } else {
      message.append(u" ");
      message.append(Plural(outcome.skipped.size(), u"file", u"files"));
      message.append(u" skipped, the first ");
    }
    message.append(FileNameFromPath(first.path));
    message.append(u": ");
    message.append(ReasonText(first.reason, kinds));
  }
  for (const CutShortFile& file : outcome.cutShort) {
    message.append(message.empty() ? u" " : u"; ");
    message.append(FileNameFromPath(file.path));
    message.append(u": symbol directory cut short, only ");
    message.append(DecimalText(static_cast<long long>(file.namesRead)));
    message.append(u" names read");
  }
  return message.empty() ? Text(kReadyText) : message;
}

// The state of the fields and commands when no library is shown, as at start-up.
void ShowNoLibrary(Session& session) {
  Gui& gui = session.platform.gui;
  ShowFunctionCount(session, 0);
  gui.SetText(kArchitecture, {});
  gui.SetText(kLibraryPath, {});
  EnableLibraryCommands(gui, false);
}

// The shown library's fields around the function list: architecture, path and count; "msdn Selected"
// waits for a row to be selected. Returns the entry now shown, or null when the catalogue has no `key`.
const LibraryEntry* ShowLibraryFields(Session& session, const Text& key) {
  Gui& gui = session.platform.gui;
  gui.SetEnabled(kMsdnSelected, false);
  if (!session.catalogue.SetShown(key)) return nullptr;
  const LibraryEntry& entry = *session.catalogue.Shown();
  gui.SetText(kArchitecture, ArchitectureText(entry));
  gui.SetText(kLibraryPath, entry.path);
  ShowFunctionCount(session, entry.functions.size());
  return &entry;
}

// Appends up to `count` more rows of library `key`, `added` of which are in; false once all are. A list
// that no longer continues this fill ends it too: a refill by another command came between two steps
// and left the list whole on its own.
bool AddNextRows(Session& session, const Text& key, std::size_t& added, std::size_t count) {
  Gui& gui = session.platform.gui;
  const LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr || session.catalogue.ShownKey() != key ||
      gui.RowCount(kFunctionList) != static_cast<int>(added)) {
    return false;
  }
  const std::size_t end = std::min(added + count, shown->functions.size());
  AddFunctionRows(gui, *shown, added, end);
  added = end;
  return added < shown->functions.size();
}

}  // namespace

void EnableLibraryCommands(Gui& gui, bool enabled) {
  for (const int control : kLibraryCommands) gui.SetEnabled(control, enabled);
  gui.SetEnabled(kMsdnSelected, false);
}

void RequestLayout(Gui& gui) { gui.QueueEvent({kEventSizeChanged, kMainWindow, -1, 0, {}}); }

bool TakeLoadedLibraries(Session& session, Catalogue loaded, const LoadOutcome& outcome, FileKinds kinds) {
  Gui& gui = session.platform.gui;
  gui.SetStatusText(kStatusMessage, LoadMessage(outcome, kinds));
  // A load that gave nothing leaves what was loaded before, unsaved edits included, as it was.
  if (outcome.libraries.empty()) return false;
  RefillFunctionList(session, [&] {
    KORVANE_HERE();
    session.catalogue = std::move(loaded);
    ShowLoadedLibraries(session, outcome);
  });
  RememberCatalogueAsSaved(session);
  // The times of a run over the catalogue just replaced say nothing about this one.
  gui.SetStatusText(kStatusTime, BatchTimeText(0, 0));
  return true;
}

void ShowLoadedLibraries(Session& session, const LoadOutcome& outcome) {
  Gui& gui = session.platform.gui;
  gui.ClearRows(kLibrariesList);
  gui.SetVisible(kLibrariesList, false);
  RequestLayout(gui);
  const LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr) {
    ShowNoLibrary(session);
    return;
  }
  ShowLibrary(session, *shown);
  ShowFunctionCount(session, shown->functions.size());
  gui.SetText(kLibraryPath, shown->path);
  // The fields describe the shown library, whichever was read last.
  gui.SetText(kArchitecture, ArchitectureText(*shown));
  EnableLibraryCommands(gui, true);
  for (const LoadedFile& file : outcome.libraries) gui.AddRow(kLibrariesList, {file.fileName}, true);
  if (outcome.libraries.size() > 1) {
    gui.SelectRow(kLibrariesList, 0);
    gui.SetVisible(kLibrariesList, true);
  }
}

void LoadLibraries(Session& session, const Text& droppedFiles) {
  KORVANE_HERE();
  const std::vector<Text> paths = ChooseFiles(session, droppedFiles);
  if (paths.empty() || !MayReplaceCatalogue(session)) return;
  if (session.rememberLibraryFolder) session.rememberLibraryFolder(FolderFromPath(paths.front()));
  Catalogue loaded;
  const LoadOutcome outcome =
      LoadFiles(loaded, session.platform.files, paths, FileKinds::Libraries, session.platform.decodeSymbolName);
  KORVANE_HERE();
  // The automatic merge belongs to new libraries: after a load that gave none it would rewrite the
  // kept catalogue's facts.
  if (!TakeLoadedLibraries(session, std::move(loaded), outcome, FileKinds::Libraries)) return;
  session.platform.gui.QueueEvent({kEventControl, kMainWindow, kMergeXml, kTypeAutomaticMerge, {}});
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
  RequestLayout(gui);
  ShowCatalogueLibrary(session, LibraryKeyFromPath(gui.RowText(kLibrariesList, row, 0)));
  catalogue.shownLibraryRow = row;
}

void ShowCatalogueLibrary(Session& session, const Text& key) {
  RefillFunctionList(session, [&] {
    if (const LibraryEntry* entry = ShowLibraryFields(session, key)) ShowLibrary(session, *entry);
  });
}

void ShowCatalogueLibraryInSteps(Session& session, const Text& key, std::size_t rowsPerStep,
                                 const std::function<void()>& last) {
  Gui& gui = session.platform.gui;
  std::size_t added = 0;
  bool more = false;
  gui.Invoke([&] {
    BeginRefill(session);
    more = ShowLibraryFields(session, key) != nullptr;
  });
  // A stop asked for between steps does not end the fill: the catalogue shows `key` from the first
  // step on, and the list is only consistent with it once every row is in.
  while (more) gui.Invoke([&] { more = AddNextRows(session, key, added, std::max<std::size_t>(rowsPerStep, 1)); });
  gui.Invoke([&] {
    EndRefill(session);
    last();
  });
}

}  // namespace korvane
