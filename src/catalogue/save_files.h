#pragma once
// The one save of the program: one catalogue file per library. "Save XML" and the command line both
// go through SaveCatalogueDocuments.

#include <vector>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"
#include "platform/clock.h"

namespace korvane {

enum class SaveStatus {
  Written,
  NameTaken,    // an earlier library of this save was written under the same name (letter case aside)
  WriteFailed,  // the file system refused the write; any old file of that name is untouched
};

struct SavedFile {
  Text key;          // the library's key in the catalogue
  Text libraryPath;  // the library's path
  Text target;       // folder + catalogue file name
  SaveStatus status = SaveStatus::Written;
  Text takenBy;      // for NameTaken: the key of the library whose file has that name
};

// Writes the catalogue file of every library in the catalogue's order (load order) into `folder`
// (which ends with its separator), each named after the time of its own writing. Names are compared
// without letter case: on Windows a second file differing only in case would silently replace the
// first, so the second is not written. One result per library, in order.
std::vector<SavedFile> SaveCatalogueDocuments(const Catalogue& catalogue, const Text& folder, FileSystem& files,
                                              Clock& clock);

}  // namespace korvane
