#include "cli/input_files.h"

namespace korvane {
namespace {

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

std::string SkipLine(const SkippedFile& file) {
  std::string reason(SkipReasonText(file.reason));
  if (file.reason == SkipReason::NoFunctionNames) reason += ArchiveDetail(file.archive);
  if (file.reason == SkipReason::DuplicateLibrary) {
    reason += " '" + TextToUtf8(file.key) + "', already read from " + TextToUtf8(file.earlierPath);
  }
  return "korvane-cli: skipped " + TextToUtf8(file.path) + ": " + reason + "\n";
}

std::string CutShortLine(const CutShortFile& file) {
  return "korvane-cli: warning: " + TextToUtf8(file.path) + ": symbol directory cut short: " +
         std::string(file.archive.field) + " at offset " + Hex(file.archive.offset) +
         "; only the names before it are listed\n";
}

}  // namespace

InputLoad LoadInputFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths,
                         const LibraryLoaded& loaded) {
  InputLoad load;
  load.outcome = LoadFiles(catalogue, files, paths, FileKinds::Both, DecodeWindows1252, loaded);
  for (const SkippedFile& file : load.outcome.skipped) load.diagnostics += SkipLine(file);
  for (const CutShortFile& file : load.outcome.cutShort) load.diagnostics += CutShortLine(file);
  for (const NamelessRecordsFile& file : load.outcome.namelessRecords) {
    load.diagnostics += "korvane-cli: warning: " + TextToUtf8(file.path) + ": " + std::to_string(file.count) +
                        (file.count == 1 ? " record without" : " records without") + " a function name left out\n";
  }
  return load;
}

}  // namespace korvane
