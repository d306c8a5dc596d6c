#include "export/export.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "export/descriptor.h"
#include "export/listing.h"
#include "text/paths.h"
#include "text/text_ops.h"
#include "platform/source_location.h"

namespace korvane {
namespace {

constexpr TextView kRestartNote = u"In order for the changes to take effect, please restart the Purebasic IDE.";
constexpr std::size_t kFailuresShown = 20;

void Fail(ExportResult& result, const Text& path, TextView reason) {
  ExportFailure failure{path, Text(reason)};
  const bool known = std::any_of(result.failures.begin(), result.failures.end(), [&](const ExportFailure& f) {
    return f.path == failure.path && f.reason == failure.reason;
  });
  if (!known) result.failures.push_back(std::move(failure));
}

// A function's name in a message: quoted, with control characters as "?" so that it stays on its line.
Text QuotedName(TextView name) {
  Text quoted = u"\"";
  for (const char16_t c : name) quoted += c < 0x20 || c == 0x7F ? u'?' : c;
  return quoted + u"\"";
}

void Append(ExportResult& into, ExportResult&& part) {
  for (Text& path : part.written) into.written.push_back(std::move(path));
  for (const ExportFailure& failure : part.failures) Fail(into, failure.path, failure.reason);
}

bool Write(FileSystem& files, const Text& path, std::span<const std::uint8_t> bytes, ExportResult& result) {
  if (files.WriteWholeFile(path, bytes)) {
    result.written.push_back(path);
    return true;
  }
  Fail(result, path, u"could not be written; the old file is unchanged");
  return false;
}

// Every other descriptor's names. The library's own descriptor is recognised without regard to letter
// case: on a file system that ignores case, 'User32' is the very file that 'USER32' replaces, and its
// names must not keep the library's own functions out.
std::set<Text> NamesKnownElsewhere(FileSystem& files, const Text& folder, const Text& ownName,
                                   const std::vector<FolderEntry>& entries) {
  std::set<Text> known;
  const Text ownLower = LowerCase(ownName);
  for (const FolderEntry& entry : entries) {
    if (entry.isFolder || LowerCase(entry.name) == ownLower) continue;
    const FileContent content = files.ReadWholeFile(folder + entry.name);
    if (content.status == FileReadStatus::Ok) AddDescriptorNames(content.bytes, known);
  }
  return known;
}

// Temporary files of an export that was cut off (killed, power lost) before it renamed them. Called
// with the installation locked, so no running export owns one of them.
void RemoveStaleTemporaries(FileSystem& files, const Text& folder) {
  const auto entries = files.ListFolder(folder, u"*" + Text(kTemporaryFileMark) + u"*");
  if (!entries) return;
  for (const FolderEntry& entry : *entries) {
    if (!entry.isFolder && IsTemporaryFileName(entry.name)) files.RemoveFile(folder + entry.name);
  }
}

// The descriptor of the library: an existing file whose name differs only in letter case is that very
// descriptor (on a case-blind file system it is the same file; elsewhere a second one would leave the
// IDE two), so it keeps its name.
Text DescriptorPath(const Text& folder, const Text& name, const std::vector<FolderEntry>& entries) {
  const Text lower = LowerCase(name);
  for (const FolderEntry& entry : entries) {
    if (!entry.isFolder && entry.name == name) return folder + name;
  }
  for (const FolderEntry& entry : entries) {
    if (!entry.isFolder && LowerCase(entry.name) == lower) return folder + entry.name;
  }
  return folder + name;
}

Text CopyFailureReason(FileSystem& files, const LibraryEntry& library) {
  if (!files.FileExists(library.path)) {
    return u"the library file " + library.path + u" could not be copied here: it is missing or not a file";
  }
  return u"the library file " + library.path + u" could not be copied here: the copy could not be written";
}

// InstallLibrary; false when the library has no copy in the installation, and nothing was written.
bool Install(FileSystem& files, const Text& root, const LibraryEntry& library, ExportResult& result) {
  const Text descriptorFolder = DescriptorFolder(root);
  const auto entries = files.ListFolder(descriptorFolder, u"*.");
  if (!entries) {
    Fail(result, descriptorFolder, u"folder missing: the root is not an installation");
    return false;
  }
  const Text name = DescriptorName(library.path);
  const std::set<Text> known = NamesKnownElsewhere(files, descriptorFolder, name, *entries);

  const Text copy = LibraryFolder(root) + FileNameFromPath(library.path);
  if (files.CopyFileReplacing(library.path, copy)) {
    result.written.push_back(copy);
  } else if (files.FileExists(copy)) {
    Fail(result, copy, CopyFailureReason(files, library) + u"; the older copy there was exported");
  } else {
    // A descriptor for a library file that is not there would make the IDE link against nothing.
    Fail(result, copy, CopyFailureReason(files, library) + u"; the library was not exported");
    return false;
  }

  const Text descriptorPath = DescriptorPath(descriptorFolder, name, *entries);
  const DescriptorBytes descriptor = BuildDescriptor(name, library.functions, known);
  for (const Text& function : descriptor.tooManyArguments) {
    Fail(result, descriptorPath, function + u" has more than 255 arguments and was left out");
  }
  for (const Text& function : descriptor.notWordNames) {
    Fail(result, descriptorPath,
         QuotedName(function) + u" was left out: only names of ASCII letters, digits and \"_\" can be recognised "
                                u"by the IDE and called");
  }
  Write(files, descriptorPath, descriptor.bytes, result);
  return true;
}

// The folders the export writes into that are missing, each named once; a missing descriptor folder
// stands for the library folder inside it.
void FailMissingFolders(FileSystem& files, const Text& root, bool listing, ExportResult& result) {
  if (!files.FolderExists(DescriptorFolder(root))) {
    Fail(result, DescriptorFolder(root), u"folder missing: the root is not an installation");
  } else if (!files.FolderExists(LibraryFolder(root))) {
    Fail(result, LibraryFolder(root), u"folder missing: the root is not an installation");
  }
  if (listing && !files.FolderExists(CompilersFolder(root))) {
    Fail(result, CompilersFolder(root), u"folder missing: the root is not an installation");
  }
}

// Why the lock file could not be opened and locked, though no other export holds it.
Text LockFailureReason(FileSystem& files, const Text& lockPath) {
  if (files.FolderExists(lockPath)) {
    return u"cannot be locked for the export: it is a folder; nothing was changed";
  }
  return u"cannot be locked for the export: it could not be opened for writing (a link is not followed, and a "
         u"read-only file or folder cannot be written); nothing was changed";
}

}  // namespace

Text DescriptorFolder(const Text& root) { return root + u"PureLibraries\\Windows\\"; }
Text LibraryFolder(const Text& root) { return DescriptorFolder(root) + u"Libraries\\"; }
Text CompilersFolder(const Text& root) { return root + u"Compilers\\"; }
Text ListingPath(const Text& root) { return CompilersFolder(root) + u"APIFunctionListing.txt"; }

Text InstallationRoot(TextView root) {
  Text folder(root);
  if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
  return folder;
}

ExportResult InstallLibrary(FileSystem& files, const Text& root, const LibraryEntry& library) {
  KORVANE_HERE();
  ExportResult result;
  result.rootIsFolder = true;
  Install(files, root, library, result);
  return result;
}

ExportResult UpdateFunctionListing(FileSystem& files, const Text& root, const LibraryEntry& library,
                                   AnnotationMode mode, TextView descriptionTemplate) {
  ExportResult result;
  result.rootIsFolder = true;
  if (!files.FolderExists(CompilersFolder(root))) {
    Fail(result, CompilersFolder(root), u"folder missing: the root is not an installation");
    return result;
  }
  const Text listingPath = ListingPath(root);
  ListingMap map;
  const FileContent listing = files.ReadWholeFile(listingPath);
  if (listing.status == FileReadStatus::Unreadable) {
    // Rewriting it would replace every entry of the IDE with this one library's.
    Fail(result, listingPath, u"could not be read; it was left unchanged");
    return result;
  }
  if (listing.status == FileReadStatus::NotRegularFile) {
    // A pipe or a device has no entries to merge into; replacing it would take it from its owner.
    Fail(result, listingPath, u"is not a regular file; it was left unchanged");
    return result;
  }
  if (IsUtf16Listing(listing.bytes)) {
    // The IDE reads single bytes; merging would cut the file into one-character junk entries.
    Fail(result, listingPath, u"is UTF-16 text, which the IDE cannot read; it was left unchanged");
    return result;
  }
  ReadListing(listing.bytes, map);

  // The copy the installation has just made; when that failed, whatever older copy is there.
  const FileContent lib = files.ReadWholeFile(LibraryFolder(root) + FileNameFromPath(library.path));
  const std::vector<Text> tooLong =
      MergeLibrary(map, lib.status == FileReadStatus::Ok ? ImportNamesOfLib(lib.bytes) : std::set<Text>(), library,
                   mode, descriptionTemplate);
  for (const Text& function : tooLong) {
    Fail(result, listingPath,
         QuotedName(function) + u" was left out: the IDE reads no more than 255 characters of a name");
  }
  Write(files, listingPath, ListingBytes(SortedListing(map)), result);
  return result;
}

ExportResult ExportToPureBasic(FileSystem& files, std::span<const LibraryEntry* const> libraries,
                               const ExportOptions& options) {
  ExportResult result;
  const Text root = InstallationRoot(options.root);
  if (root.empty() || !files.FolderExists(root)) {
    Fail(result, options.root, !root.empty() && files.FileExists(options.root) ? u"is not a folder" : u"does not exist");
    return result;
  }
  result.rootIsFolder = true;
  // Everything is checked before anything is written: a root that is not an installation stays as it was.
  FailMissingFolders(files, root, options.updateListing, result);
  if (!result.failures.empty()) return result;
  // One export at a time: two at once would sweep each other's temporary files and interleave their
  // listing merges, each writing back a listing without the other's entries.
  const Text lockPath = root + Text(kExportLockName);
  const FileLockResult lock = files.TryLockFile(lockPath);
  if (lock.busy) {
    Fail(result, root, u"is busy: another export is writing to this installation; nothing was changed");
    return result;
  }
  if (!lock.lock) {
    // Unlocked, a second export could run alongside this one and undo its listing entries.
    Fail(result, lockPath, LockFailureReason(files, lockPath));
    return result;
  }
  for (const Text& folder : {DescriptorFolder(root), LibraryFolder(root), CompilersFolder(root)}) {
    RemoveStaleTemporaries(files, folder);
  }
  std::vector<std::pair<Text, Text>> exported;  // descriptor name in capitals, library path
  for (const LibraryEntry* library : libraries) {
    KORVANE_HERE();
    if (library == nullptr) continue;
    const Text name = DescriptorName(library->path);
    const auto earlier = std::find_if(exported.begin(), exported.end(), [&](const auto& e) { return e.first == name; });
    if (earlier != exported.end()) {
      // Names that differ only in letter case, or two files of one library, would share one descriptor
      // and one copy: the second would silently replace the first.
      Fail(result, DescriptorFolder(root) + name,
           u"not written for " + library->path + u": the descriptor of " + earlier->second +
               u" was already written under that name; the library was not exported");
      continue;
    }
    exported.emplace_back(name, library->path);
    if (!Install(files, root, *library, result)) continue;
    if (options.updateListing) {
      Append(result, UpdateFunctionListing(files, root, *library, options.mode, options.descriptionTemplate));
    }
  }
  return result;
}

Text ExportClosingMessage(const ExportResult& result) {
  if (result.failures.empty()) return u"Export finished!\n\n" + Text(kRestartNote);
  Text message = u"Export finished, but not everything could be done:\n\n";
  const std::size_t shown = std::min(result.failures.size(), kFailuresShown);
  for (std::size_t i = 0; i < shown; ++i) {
    message += result.failures[i].path + u": " + result.failures[i].reason + u"\n";
  }
  if (result.failures.size() > shown) {
    message += u"... and " + DecimalText(static_cast<long long>(result.failures.size() - shown)) + u" more\n";
  }
  return message + u"\n" + Text(kRestartNote);
}

}  // namespace korvane
