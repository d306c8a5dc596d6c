#include "app/import_file_commands.h"

#include <unordered_map>

#include "app/program_numbers.h"
#include "docs/docs_file.h"
#include "docs/docs_file_load.h"
#include "importfile/import_file.h"
#include "text/paths.h"
#include "importfile/library_symbols.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

// The set the lookup reads when it has one, else the one the settings name or the one beside the
// program; loaded once. Null when there is none: the built-in table resolves the types.
const DocumentationSet* TypesSet(Session& session) {
  if (!session.documentationSet && !session.documentationSetTried) {
    session.documentationSetTried = true;
    const Text path = !session.lookup.docsPath.empty() ? session.lookup.docsPath
                      : session.programFolder.empty()   ? Text()
                                                        : session.programFolder + kDocsFileName;
    if (!path.empty()) session.documentationSet = LoadDocumentationSetFile(session.platform.files, path);
  }
  return session.documentationSet.get();
}

}  // namespace

void SaveImportFile(Session& session) {
  KORVANE_HERE();
  const LibraryEntry* shown = session.catalogue.Shown();
  if (shown == nullptr) return;
  Platform& platform = session.platform;
  const Text fileName = FileNameFromPath(shown->path);
  const Text target = platform.dialogs.SaveFile(u"Save Import File", session.catalogueFolder, ImportFileName(fileName),
                                                u"Import file (*.pbi)|*.pbi");
  if (target.empty()) return;
  // The library file's own decorated names check each x86 declaration.
  const std::unordered_map<Text, Text> symbols = LibraryFileSymbols(platform.files, shown->path, shown->x86 != 0);
  ImportFileRequest request;
  request.library = shown;
  request.libraryFileName = fileName;
  request.set = TypesSet(session);
  request.symbols = symbols.empty() ? nullptr : &symbols;
  const ImportFile file = WriteImportFile(request);
  if (!platform.files.WriteWholeFile(target, AsBytes(file.bytes))) {
    platform.gui.ShowMessage(kMainWindow, u"Korvane", u"Could not write " + target, MessageBoxKind::Ok, MessageBoxIcon::Error);
    return;
  }
  Text text = u"Import file written to " + target + u"\n" + DecimalText(file.declared) +
              u" function(s) declared";
  if (file.commented > 0) {
    text += u", " + DecimalText(file.commented) + u" left as comments (the file says why)";
  }
  platform.gui.ShowMessage(kMainWindow, u"Korvane", text, MessageBoxKind::Ok, MessageBoxIcon::Information);
}

}  // namespace korvane
