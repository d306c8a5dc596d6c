#pragma once
// The one load of the program: a set of files (import libraries and catalogue files) read into a
// catalogue. "Load LIBs", "Load XML" and the command line all go through LoadFiles.

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/archive_reader.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogue_xml.h"
#include "platform/file_system.h"

namespace korvane {

// Which kinds of file a load takes. A library is a file that begins with the archive signature; a
// catalogue file is any other file that parses as one.
enum class FileKinds { Libraries, CatalogueFiles, Both };

enum class SkipReason {
  Missing,
  Unreadable,
  NotRegularFile,     // a folder, a pipe, a device: reading it could block for ever
  Empty,
  NotArchive,         // FileKinds::Libraries: no archive signature
  NotCatalogueFile,   // neither kind (for Both), or not XML at all (for CatalogueFiles)
  MalformedXml,       // opens like XML but does not parse
  EntityDeclaration,  // well-formed XML that declares entities, which catalogue files never do
  NoFunctionNames,
  NoLibraryName,      // a catalogue file whose file name carries no library name
  DuplicateLibrary,   // an earlier file of this load already gave this library key
};

// A file that gave a library.
struct LoadedFile {
  Text path;      // as given
  Text key;       // its library key in the catalogue
  Text fileName;  // the library file name it is listed under ('user32.lib')
};

struct SkippedFile {
  Text path;
  SkipReason reason;
  ArchiveReadResult archive;  // how the archive walk ended, for NoFunctionNames
  Text earlierPath;           // the file that gave the library first, for DuplicateLibrary
  Text key;                   // the library key both files give, for DuplicateLibrary
};

// A library whose symbol directory ends early: it holds the names before the cut.
struct CutShortFile {
  Text path;
  ArchiveReadResult archive;
  std::size_t namesRead = 0;
};

// A catalogue file some of whose records had no function name; they were left out.
struct NamelessRecordsFile {
  Text path;
  std::size_t count = 0;
};

struct LoadOutcome {
  std::vector<LoadedFile> libraries;  // in load order (the Libraries list's row order)
  std::vector<SkippedFile> skipped;   // in the order the files were met
  std::vector<CutShortFile> cutShort;
  std::vector<NamelessRecordsFile> namelessRecords;
};

// Called as each file gives a library, with its entry in the catalogue. A caller that only passes the
// libraries on (the command line's list) may empty the entry, so that a load of hundreds of libraries
// holds one library's functions at a time.
using LibraryLoaded = std::function<void(const LoadedFile& file, LibraryEntry& entry)>;

// Empties the catalogue, then reads each file in order. A library comes out as "Load LIBs" makes it
// (normalised, every function ticked, its path the file's path, made absolute against the working
// folder so that a catalogue file written from it names the library wherever it is read); a catalogue
// file as "Load XML" reads it, under the library name its own file name carries, which is also the
// library's file name in its path (the root element's name is not used). A file whose library key an earlier file of
// this load produced is skipped (the first keeps its entry untouched), as are files that are missing,
// unreadable, empty or not of an accepted kind. Afterwards the first library is the shown one and
// shownLibraryRow is 0.
LoadOutcome LoadFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths, FileKinds kinds,
                      SingleByteDecoder decode = DecodeWindows1252, const LibraryLoaded& loaded = {});

// One catalogue file read for a merge: its document, or why it gives none.
struct CatalogueFileRead {
  std::optional<CatalogueDocument> document;
  SkipReason reason = SkipReason::NotCatalogueFile;  // when there is no document
};
CatalogueFileRead ReadCatalogueFileForMerge(FileSystem& files, const Text& path);

// A short English reason: "not an archive", "duplicate library name", ...
std::string_view SkipReasonText(SkipReason reason);
// The same for a load or merge that takes catalogue files only, where "not an archive" would mislead:
// "not a catalogue file", "not a catalogue file (malformed XML)", ...
std::string_view SkipReasonText(SkipReason reason, FileKinds kinds);

// The start of the archive at `path` up to the end of its symbol directory, given its first bytes
// (`start`): what ReadImportArchive needs, a few percent of an import library. Statuses as ReadFileRange.
FileContent ReadArchiveDirectory(FileSystem& files, const Text& path, FileContent start);

}  // namespace korvane
