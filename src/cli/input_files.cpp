#include "cli/input_files.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "catalogue/catalogue_files.h"
#include "catalogue/library_loader.h"

namespace korvane {
namespace {

constexpr std::string_view kArchiveSignature = "!<arch>\n";

// Serves one file that was already read and passes everything else on: the library loader reads the
// file itself, and this way it sees the very bytes whose signature was checked, read from disk once.
class HeldFile final : public FileSystem {
 public:
  HeldFile(FileSystem& files, const Text& path, const FileContent& content)
      : files_(files), path_(path), content_(content) {}

  FileContent ReadWholeFile(const Text& path) override {
    return path == path_ ? content_ : files_.ReadWholeFile(path);
  }
  bool WriteWholeFile(const Text& path, std::span<const std::uint8_t> bytes) override {
    return files_.WriteWholeFile(path, bytes);
  }
  bool FileExists(const Text& path) override { return files_.FileExists(path); }
  bool FolderExists(const Text& path) override { return files_.FolderExists(path); }
  bool CreateFolder(const Text& path) override { return files_.CreateFolder(path); }
  Text WorkingDirectory() override { return files_.WorkingDirectory(); }

 private:
  FileSystem& files_;
  const Text& path_;
  const FileContent& content_;
};

std::string Hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  return "0x" + text;
}

// Why an archive gave no names, when the walk itself says more than "no function names".
std::string ArchiveDetail(const ArchiveReadResult& archive) {
  switch (archive.status) {
    case ArchiveStatus::NoSymbolDirectory:
      return " (no symbol directory: " + std::string(archive.field) + " missing at offset " + Hex(archive.offset) + ")";
    case ArchiveStatus::Truncated:
      return " (symbol directory cut short: " + std::string(archive.field) + " at offset " + Hex(archive.offset) + ")";
    case ArchiveStatus::Read:
    case ArchiveStatus::NotArchive:
      break;
  }
  return {};
}

std::string CutShortLine(const CutShortFile& file) {
  return "korvane-cli: warning: " + TextToUtf8(file.path) + ": symbol directory cut short: " +
         std::string(file.archive.field) + " at offset " + Hex(file.archive.offset) +
         "; only the names before it are listed\n";
}

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

class InputLoader {
 public:
  InputLoader(Catalogue& catalogue, FileSystem& files) : catalogue_(catalogue), files_(files) {}

  void Load(const Text& path) {
    if (std::optional<std::string> reason = LoadOne(path)) {
      result_.diagnostics += "korvane-cli: skipped " + TextToUtf8(path) + ": " + *reason + "\n";
    }
  }

  InputLoad Finish() {
    result_.diagnostics += warnings_;
    return std::move(result_);
  }

 private:
  // Loads one file; the reason it gave no library, if it did not.
  std::optional<std::string> LoadOne(const Text& path) {
    const FileContent content = files_.ReadWholeFile(path);
    if (content.status == FileReadStatus::Missing) return std::string(SkipReasonText(SkipReason::Missing));
    if (content.status == FileReadStatus::Unreadable) return std::string(SkipReasonText(SkipReason::Unreadable));
    if (content.bytes.empty()) return std::string(SkipReasonText(SkipReason::Empty));
    if (IsArchive(content.bytes)) return ReadLibrary(path, content);
    return LoadCatalogueFile(path, content);
  }

  std::optional<std::string> ReadLibrary(const Text& path, const FileContent& content) {
    const Text key = LibraryKeyFromPath(path);
    if (auto duplicate = Duplicate(key)) return duplicate;
    // The loader itself, one file at a time, so that a library comes out exactly as "Load LIBs"
    // makes it; the entry then moves into the catalogue that holds the catalogue files too.
    Catalogue single;
    HeldFile held(files_, path, content);
    const LoadOutcome outcome = LoadLibraryFiles(single, held, {path}, DecodeWindows1252);
    for (const CutShortFile& file : outcome.cutShort) warnings_ += CutShortLine(file);
    LibraryEntry* entry = single.Find(key);
    if (entry == nullptr) {
      if (outcome.skipped.empty()) return std::string(SkipReasonText(SkipReason::NoFunctionNames));
      const SkippedFile& skipped = outcome.skipped.front();
      return std::string(SkipReasonText(skipped.reason)) + ArchiveDetail(skipped.archive);
    }
    catalogue_.FindOrCreate(key) = std::move(*entry);
    result_.libraries.push_back({path, key, FileNameFromPath(path)});
    return std::nullopt;
  }

  std::optional<std::string> LoadCatalogueFile(const Text& path, const FileContent& content) {
    std::optional<CatalogueDocument> document = ReadCatalogueDocument(content.bytes);
    if (!document) {
      return LooksLikeXml(content.bytes) ? "not an archive or catalogue file (malformed XML)"
                                         : "not an archive or catalogue file";
    }
    const Text fileName = LibraryFileNameFromCatalogueFile(path);
    if (fileName.empty()) {
      return "catalogue file whose name carries no library name (expected a name like "
             "\"[x86] [12.06.2015-21.42.35] user32.lib.xml\")";
    }
    const Text key = LibraryKeyFromPath(fileName);
    if (auto duplicate = Duplicate(key)) return duplicate;
    ApplyCatalogueDocument(catalogue_.FindOrCreate(key), std::move(*document));
    result_.libraries.push_back({path, key, fileName});
    return std::nullopt;
  }

  std::optional<std::string> Duplicate(const Text& key) const {
    if (catalogue_.Find(key) == nullptr) return std::nullopt;
    for (const LoadedInput& earlier : result_.libraries) {
      if (earlier.key == key) {
        return std::string(SkipReasonText(SkipReason::DuplicateLibrary)) + " '" + TextToUtf8(key) +
               "', already read from " + TextToUtf8(earlier.path);
      }
    }
    return std::nullopt;
  }

  Catalogue& catalogue_;
  FileSystem& files_;
  InputLoad result_;
  std::string warnings_;
};

}  // namespace

InputLoad LoadInputFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths) {
  catalogue.Clear();
  InputLoader loader(catalogue, files);
  for (const Text& path : paths) loader.Load(path);
  return loader.Finish();
}

}  // namespace korvane
