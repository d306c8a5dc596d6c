#include "catalogue/library_loader.h"

#include <optional>

#include "catalogue/symbol_names.h"

namespace korvane {
namespace {

// Reads one file into the catalogue; returns the reason it produced no library, if it did not.
std::optional<SkippedFile> LoadOne(Catalogue& catalogue, FileSystem& files, const Text& path,
                                   SingleByteDecoder decode, LoadOutcome& outcome) {
  const Text key = LibraryKeyFromPath(path);
  if (catalogue.Find(key) != nullptr) return SkippedFile{path, SkipReason::DuplicateLibrary, {}};

  FileContent content = files.ReadWholeFile(path);
  if (content.status == FileReadStatus::Missing) return SkippedFile{path, SkipReason::Missing, {}};
  if (content.status == FileReadStatus::Unreadable) return SkippedFile{path, SkipReason::Unreadable, {}};
  if (content.bytes.empty()) return SkippedFile{path, SkipReason::Empty, {}};

  const ArchiveReadResult archive = ReadImportArchive(
      content.bytes, [&](const Text& name) { return AddFunctionName(catalogue, name, path); }, decode);
  if (archive.status == ArchiveStatus::NotArchive) return SkippedFile{path, SkipReason::NotArchive, archive};

  LibraryEntry* entry = catalogue.Find(key);
  if (entry == nullptr) return SkippedFile{path, SkipReason::NoFunctionNames, archive};
  if (archive.status == ArchiveStatus::Truncated) outcome.cutShort.push_back({path, archive});
  NormaliseLibraryNames(*entry);
  for (ApiFunction& function : entry->functions) function.checked = 1;
  return std::nullopt;
}

}  // namespace

LoadOutcome LoadLibraryFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths,
                             SingleByteDecoder decode) {
  catalogue.Clear();
  catalogue.shownLibraryRow = 0;
  LoadOutcome outcome;
  for (const Text& path : paths) {
    if (auto skipped = LoadOne(catalogue, files, path, decode, outcome)) {
      outcome.skipped.push_back(std::move(*skipped));
    } else {
      outcome.libraryPaths.push_back(path);
    }
  }
  if (!outcome.libraryPaths.empty()) catalogue.SetShown(LibraryKeyFromPath(outcome.FirstLibraryPath()));
  return outcome;
}

std::string_view SkipReasonText(SkipReason reason) {
  switch (reason) {
    case SkipReason::Missing: return "missing";
    case SkipReason::Unreadable: return "cannot be read";
    case SkipReason::Empty: return "empty";
    case SkipReason::NotArchive: return "not an archive";
    case SkipReason::NoFunctionNames: return "no function names";
    case SkipReason::DuplicateLibrary: return "duplicate library name";
  }
  return "skipped";
}

}  // namespace korvane
