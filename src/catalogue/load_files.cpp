#include "catalogue/load_files.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "catalogue/catalogue_files.h"
#include "catalogue/library_loader.h"
#include "text/paths.h"

namespace korvane {
namespace {

constexpr std::string_view kArchiveSignature = "!<arch>\n";

// The first read of every file. It holds the whole symbol directory of most import libraries (nine in
// ten of a typical mingw-w64 folder), and the whole of most small files.
constexpr std::size_t kFirstRead = 16 * 1024;

bool IsArchive(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= kArchiveSignature.size() &&
         std::equal(kArchiveSignature.begin(), kArchiveSignature.end(), bytes.begin());
}

// Text that opens like XML (after a byte-order mark and blanks): worth saying that the XML is bad.
bool LooksLikeXml(const std::vector<std::uint8_t>& bytes) {
  std::size_t at = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
  while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' || bytes[at] == '\n')) ++at;
  return at < bytes.size() && bytes[at] == '<';
}

class Loader {
 public:
  Loader(Catalogue& catalogue, FileSystem& files, FileKinds kinds, SingleByteDecoder decode,
         const LibraryLoaded& loaded)
      : catalogue_(catalogue), files_(files), kinds_(kinds), decode_(decode), loaded_(loaded) {}

  void Load(const Text& path) {
    if (std::optional<SkippedFile> skipped = LoadOne(path)) outcome_.skipped.push_back(std::move(*skipped));
  }

  LoadOutcome Finish() {
    if (!outcome_.libraries.empty()) catalogue_.SetShown(outcome_.libraries.front().key);
    return std::move(outcome_);
  }

 private:
  std::optional<SkippedFile> LoadOne(const Text& path) {
    // A library's key comes from its path, so a duplicate is known before the file is read.
    if (kinds_ == FileKinds::Libraries) {
      if (auto duplicate = Duplicate(path, LibraryKeyFromPath(path))) return duplicate;
    }
    const FileContent content = ReadNeededPart(path);
    switch (content.status) {
      case FileReadStatus::Ok: break;
      case FileReadStatus::Missing: return Skip(path, SkipReason::Missing);
      case FileReadStatus::NotRegularFile: return Skip(path, SkipReason::NotRegularFile);
      case FileReadStatus::Unreadable: return Skip(path, SkipReason::Unreadable);
    }
    if (content.bytes.empty()) return Skip(path, SkipReason::Empty);
    const bool archive = IsArchive(content.bytes);
    if (kinds_ == FileKinds::Libraries && !archive) return Skip(path, SkipReason::NotArchive);
    if (kinds_ == FileKinds::Both && archive) return LoadLibrary(path, content.bytes);
    if (kinds_ == FileKinds::Libraries) return LoadLibrary(path, content.bytes);
    return LoadCatalogueFile(path, content.bytes);
  }

  // An archive is read only as far as its symbol directory reaches: for an import library a few percent
  // of the file, as the object members after the directory are never looked at. Any other file is read
  // whole when it may be a catalogue file.
  FileContent ReadNeededPart(const Text& path) {
    FileContent content = files_.ReadFileRange(path, 0, kFirstRead);
    if (content.status != FileReadStatus::Ok || content.bytes.size() < kFirstRead) return content;  // all of it
    if (kinds_ == FileKinds::Libraries && !IsArchive(content.bytes)) return content;
    if (kinds_ == FileKinds::CatalogueFiles || !IsArchive(content.bytes)) return files_.ReadWholeFile(path);
    return ReadArchiveDirectory(files_, path, std::move(content));
  }

  std::optional<SkippedFile> LoadLibrary(const Text& path, const std::vector<std::uint8_t>& bytes) {
    const Text key = LibraryKeyFromPath(path);
    if (auto duplicate = Duplicate(path, key)) return duplicate;
    LibraryRead read = ReadLibrary(bytes, AbsolutePath(path), decode_);
    if (read.archive.status == ArchiveStatus::NotArchive) return SkippedFile{path, SkipReason::NotArchive, read.archive, {}, {}};
    if (read.namesRead == 0) return SkippedFile{path, SkipReason::NoFunctionNames, read.archive, {}, {}};
    if (read.archive.status == ArchiveStatus::Truncated) outcome_.cutShort.push_back({path, read.archive, read.namesRead});
    LibraryEntry& entry = catalogue_.FindOrCreate(key);
    entry = std::move(read.entry);
    Loaded({path, key, FileNameFromPath(path)}, entry);
    return std::nullopt;
  }

  std::optional<SkippedFile> LoadCatalogueFile(const Text& path, const std::vector<std::uint8_t>& bytes) {
    CatalogueReadError error = CatalogueReadError::None;
    std::optional<CatalogueDocument> document = ReadCatalogueDocument(bytes, &error);
    if (!document) {
      if (error == CatalogueReadError::EntityDeclaration) return Skip(path, SkipReason::EntityDeclaration);
      return Skip(path, LooksLikeXml(bytes) ? SkipReason::MalformedXml : SkipReason::NotCatalogueFile);
    }
    const Text fileName = LibraryFileNameFromCatalogueFile(path);
    if (fileName.empty()) return Skip(path, SkipReason::NoLibraryName);
    const Text key = LibraryKeyFromPath(fileName);
    if (auto duplicate = Duplicate(path, key)) return duplicate;
    // A record without a name names no function: it would reach the listing and the descriptor as one.
    const std::size_t nameless = std::erase_if(document->records, [](const ApiFunction& r) { return r.Function.empty(); });
    if (nameless != 0) outcome_.namelessRecords.push_back({path, nameless});
    const Text folder = document->folder;
    LibraryEntry& entry = catalogue_.FindOrCreate(key);
    ApplyCatalogueDocument(entry, std::move(*document));
    // The library is the one the file name carries, as for the key: the root element may differ in
    // letter case or name another library altogether.
    entry.path = folder + fileName;
    Loaded({path, key, fileName}, entry);
    return std::nullopt;
  }

  void Loaded(LoadedFile file, LibraryEntry& entry) {
    outcome_.libraries.push_back(std::move(file));
    if (loaded_) loaded_(outcome_.libraries.back(), entry);
  }

  std::optional<SkippedFile> Duplicate(const Text& path, const Text& key) const {
    if (catalogue_.Find(key) == nullptr) return std::nullopt;
    const auto earlier = std::find_if(outcome_.libraries.begin(), outcome_.libraries.end(),
                                      [&key](const LoadedFile& file) { return file.key == key; });
    return SkippedFile{path, SkipReason::DuplicateLibrary, {},
                       earlier == outcome_.libraries.end() ? Text() : earlier->path, key};
  }

  // A relative path joined to the working folder, in the separator the path itself uses.
  Text AbsolutePath(const Text& path) const {
    const bool absolute = path.starts_with(u'\\') || path.starts_with(u'/') || (path.size() >= 2 && path[1] == u':');
    if (absolute || path.empty()) return path;
    Text folder = files_.WorkingDirectory();
    if (path.find(u'/') != Text::npos && path.find(u'\\') == Text::npos) std::replace(folder.begin(), folder.end(), u'\\', u'/');
    return folder + path;
  }

  static SkippedFile Skip(const Text& path, SkipReason reason) { return SkippedFile{path, reason, {}, {}, {}}; }

  Catalogue& catalogue_;
  FileSystem& files_;
  FileKinds kinds_;
  SingleByteDecoder decode_;
  const LibraryLoaded& loaded_;
  LoadOutcome outcome_;
};

}  // namespace

LoadOutcome LoadFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths, FileKinds kinds,
                      SingleByteDecoder decode, const LibraryLoaded& loaded) {
  catalogue.Clear();
  catalogue.shownLibraryRow = 0;
  Loader loader(catalogue, files, kinds, decode, loaded);
  for (const Text& path : paths) loader.Load(path);
  return loader.Finish();
}

CatalogueFileRead ReadCatalogueFileForMerge(FileSystem& files, const Text& path) {
  const FileContent content = files.ReadWholeFile(path);
  switch (content.status) {
    case FileReadStatus::Ok: break;
    case FileReadStatus::Missing: return {std::nullopt, SkipReason::Missing};
    case FileReadStatus::NotRegularFile: return {std::nullopt, SkipReason::NotRegularFile};
    case FileReadStatus::Unreadable: return {std::nullopt, SkipReason::Unreadable};
  }
  if (content.bytes.empty()) return {std::nullopt, SkipReason::Empty};
  CatalogueReadError error = CatalogueReadError::None;
  CatalogueFileRead read;
  read.document = ReadCatalogueDocument(content.bytes, &error);
  if (!read.document) {
    read.reason = error == CatalogueReadError::EntityDeclaration ? SkipReason::EntityDeclaration
                  : LooksLikeXml(content.bytes)                   ? SkipReason::MalformedXml
                                                                  : SkipReason::NotCatalogueFile;
  }
  return read;
}

std::string_view SkipReasonText(SkipReason reason) {
  switch (reason) {
    case SkipReason::Missing: return "missing";
    case SkipReason::Unreadable: return "cannot be read";
    case SkipReason::NotRegularFile: return "not a regular file";
    case SkipReason::Empty: return "empty";
    case SkipReason::NotArchive: return "not an archive";
    case SkipReason::NotCatalogueFile: return "not an archive or catalogue file";
    case SkipReason::MalformedXml: return "not an archive or catalogue file (malformed XML)";
    case SkipReason::EntityDeclaration: return "not an archive or catalogue file (entity declarations are not accepted)";
    case SkipReason::NoFunctionNames: return "no function names";
    case SkipReason::NoLibraryName:
      return "catalogue file whose name carries no library name (expected a name like "
             "\"[x86] [12.06.2015-21.42.35] user32.lib.xml\")";
    case SkipReason::DuplicateLibrary: return "duplicate library name";
  }
  return "skipped";
}

std::string_view SkipReasonText(SkipReason reason, FileKinds kinds) {
  if (kinds == FileKinds::CatalogueFiles) {
    switch (reason) {
      case SkipReason::NotCatalogueFile: return "not a catalogue file";
      case SkipReason::MalformedXml: return "not a catalogue file (malformed XML)";
      case SkipReason::EntityDeclaration: return "not a catalogue file (entity declarations are not accepted)";
      default: break;
    }
  }
  return SkipReasonText(reason);
}

FileContent ReadArchiveDirectory(FileSystem& files, const Text& path, FileContent start) {
  if (start.status != FileReadStatus::Ok) return start;
  const std::optional<std::uint64_t> fileSize = files.FileSize(path);
  if (!fileSize) return files.ReadWholeFile(path);  // replaced meanwhile: says what is there now
  // The directory's extent comes from size fields of the file: capped by the real size before any
  // read. Each round learns one more header, so this ends after a few rounds at most.
  for (;;) {
    const std::uint64_t needed = std::min(ArchiveDirectoryEnd(start.bytes), *fileSize);
    if (needed <= start.bytes.size()) return start;
    const std::uint64_t missing = needed - start.bytes.size();
    const FileContent more = files.ReadFileRange(
        path, start.bytes.size(),
        static_cast<std::size_t>(std::min<std::uint64_t>(missing, std::numeric_limits<std::size_t>::max())));
    if (more.status != FileReadStatus::Ok) return more;
    if (more.bytes.empty()) return start;  // the file shrank meanwhile: the reader sees it cut short
    start.bytes.insert(start.bytes.end(), more.bytes.begin(), more.bytes.end());
  }
}

}  // namespace korvane
