#pragma once
// The export into an IDE installation: each library's LIB copy and descriptor, and the merge of its
// functions into the function listing. Works on the FileSystem only; the export window and the command
// line hand in the libraries and show the result.

#include <span>
#include <vector>

#include "catalogue/api_function.h"
#include "export/declaration.h"
#include "platform/file_system.h"
#include "text/text.h"

namespace korvane {

// Something the export could not do, and the file or folder it concerns.
struct ExportFailure {
  Text path;
  Text reason;
};

struct ExportResult {
  bool rootIsFolder = false;           // false: nothing was read or written
  std::vector<Text> written;           // files written, in order
  std::vector<ExportFailure> failures;  // in order; each (path, reason) once
};

struct ExportOptions {
  Text root;  // the installation folder; a final "\" is added when missing
  bool updateListing = true;
  AnnotationMode mode = AnnotationMode::Convert;
  Text descriptionTemplate;
};

// The file in the installation's root that an export holds locked while it runs. It stays in place.
inline constexpr TextView kExportLockName = u"korvane-export.lock";

// The folders and the listing of an installation, for a root that ends in a separator.
Text DescriptorFolder(const Text& root);  // root + "PureLibraries\Windows\"
Text LibraryFolder(const Text& root);     // root + "PureLibraries\Windows\Libraries\"
Text CompilersFolder(const Text& root);   // root + "Compilers\"
Text ListingPath(const Text& root);       // root + "Compilers\APIFunctionListing.txt"

// The root with a final "\" (kept when it already ends in "\" or "/"); empty stays empty.
Text InstallationRoot(TextView root);

// Copies the library's file into the library folder and writes its descriptor, leaving out the
// functions that other descriptors of the installation declare. `root` ends in a separator. When the
// copy fails and the folder holds no older copy, no descriptor is written. An existing descriptor
// whose name differs only in letter case is written under its own name.
ExportResult InstallLibrary(FileSystem& files, const Text& root, const LibraryEntry& library);

// Reads the listing, drops what the installed copy of the library imports, puts in the library's
// exportable functions and writes the listing back sorted. A listing that exists but cannot be read
// is left as it is, and so is one that is not a regular file.
ExportResult UpdateFunctionListing(FileSystem& files, const Text& root, const LibraryEntry& library,
                                   AnnotationMode mode, TextView descriptionTemplate);

// Installs each library in order and, when asked, merges each into the listing right after its
// installation; a library whose copy is missing is not merged, and a library whose descriptor name an
// earlier one took is not exported. Every folder the export needs is checked before anything is
// written, and the installation is locked for the export (a second export meanwhile is refused as
// busy). Temporary files that an interrupted earlier export left in the installation's folders are
// removed first.
ExportResult ExportToPureBasic(FileSystem& files, std::span<const LibraryEntry* const> libraries,
                               const ExportOptions& options);

// The message after an export that ran: the plain closing message when nothing failed, else the
// failures (the first twenty, then how many more) before the note about restarting the IDE.
Text ExportClosingMessage(const ExportResult& result);

}  // namespace korvane
