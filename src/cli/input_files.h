#pragma once
// The files named on the command line, loaded through the program's one load, and the lines that
// say on stderr what became of them.

#include <string>
#include <vector>

#include "catalogue/load_files.h"

namespace korvane {

struct InputLoad {
  LoadOutcome outcome;
  std::string diagnostics;  // stderr lines: one per skipped file in order, then the warnings
};

// LoadFiles over libraries and catalogue files alike, symbol names decoded as Windows-1252 so the
// result is the same on every system.
InputLoad LoadInputFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths,
                         const LibraryLoaded& loaded = {});

}  // namespace korvane
