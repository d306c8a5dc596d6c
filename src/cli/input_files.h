#pragma once
// The files named on the command line: import libraries and catalogue files, told apart by their
// content, loaded into one catalogue in the given order.

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace korvane {

// A file that produced a library.
struct LoadedInput {
  Text path;      // as named on the command line
  Text key;       // its library key in the catalogue
  Text fileName;  // the library file name it is listed under ('user32.lib')
};

struct InputLoad {
  std::vector<LoadedInput> libraries;  // in load order
  std::string diagnostics;  // stderr lines: one per skipped file in order, then the warnings
};

// Empties `catalogue`, then loads each file in order. A file that begins with the archive signature
// is read as "Load LIBs" reads a library (all functions ticked); any other file that parses as a
// catalogue file is read as "Load XML" reads it, under the library name its file name carries. A
// file whose library key an earlier file already produced is skipped, as are files that are
// missing, unreadable, empty or neither kind. Symbol names are decoded as Windows-1252, so the
// result is the same on every system.
InputLoad LoadInputFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths);

}  // namespace korvane
