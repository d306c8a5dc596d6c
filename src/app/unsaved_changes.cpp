#include "app/unsaved_changes.h"

#include "app/catalogue_file_commands.h"
#include "app/detail_editor.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "platform/source_location.h"

namespace korvane {

void RememberCatalogueAsSaved(Session& session) {
  session.savedFunctions.clear();
  session.catalogue.ForEach([&](const Text& key, const LibraryEntry& entry) {
    session.savedFunctions[key] = entry.functions;
  });
}

void RememberLibraryAsSaved(Session& session, const Text& key) {
  if (const LibraryEntry* entry = session.catalogue.Find(key)) session.savedFunctions[key] = entry->functions;
}

bool HasUnsavedChanges(const Session& session) {
  bool changed = false;
  session.catalogue.ForEach([&](const Text& key, const LibraryEntry& entry) {
    const auto saved = session.savedFunctions.find(key);
    changed = changed || saved == session.savedFunctions.end() || saved->second != entry.functions;
  });
  return changed;
}

bool MayReplaceCatalogue(Session& session) {
  KORVANE_HERE();
  KeepDetailEdits(session);
  if (!HasUnsavedChanges(session)) return true;
  const MessageBoxAnswer answer =
      session.platform.gui.ShowMessage(kMainWindow, kProgramTitle, u"Save changes?", MessageBoxKind::YesNoCancel,
                                       MessageBoxIcon::Question);
  if (answer == MessageBoxAnswer::Yes) return SaveCatalogueFiles(session);
  return answer == MessageBoxAnswer::No;
}

}  // namespace korvane
