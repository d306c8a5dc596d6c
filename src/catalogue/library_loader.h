#pragma once
// Reads a list of library files, in order, into the catalogue.

#include <string_view>
#include <vector>

#include "catalogue/archive_reader.h"
#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace korvane {

enum class SkipReason { Missing, Unreadable, Empty, NotArchive, NoFunctionNames, DuplicateLibrary };

struct SkippedFile {
  Text path;
  SkipReason reason;
  ArchiveReadResult archive;  // how the archive walk ended, for NotArchive and NoFunctionNames
};

// A file that produced a library although its symbol directory ends early: the library holds the
// names before the cut.
struct CutShortFile {
  Text path;
  ArchiveReadResult archive;
};

struct LoadOutcome {
  // Full paths of the files that produced a library, in load order (the Libraries list's row order).
  std::vector<Text> libraryPaths;
  std::vector<SkippedFile> skipped;  // in the order the files were met
  std::vector<CutShortFile> cutShort;

  // The first file that produced a library; empty when none did.
  Text FirstLibraryPath() const { return libraryPaths.empty() ? Text() : libraryPaths.front(); }
};

// Empties the catalogue, then reads each file in order: a file that is missing, unreadable, empty, not
// an archive or without function names is skipped; so is a file whose library key an earlier file of
// this load already produced (the first keeps its entry untouched). Every produced library is
// normalised and all its functions ticked. Afterwards the first library is the shown one and
// shownLibraryRow is 0.
LoadOutcome LoadLibraryFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths,
                             SingleByteDecoder decode = DecodeWindows1252);

// A short English reason for the command line: "not an archive", "duplicate library name", ...
std::string_view SkipReasonText(SkipReason reason);

}  // namespace korvane
