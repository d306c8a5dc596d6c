#include <string>

#include "catalogue/library_loader.h"
#include "cli/cli.h"

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

std::string SkipLine(const SkippedFile& skipped, const Catalogue& catalogue) {
  std::string line = "korvane-cli: skipped " + TextToUtf8(skipped.path) + ": ";
  line += SkipReasonText(skipped.reason);
  if (skipped.reason == SkipReason::DuplicateLibrary) {
    const Text key = LibraryKeyFromPath(skipped.path);
    if (const LibraryEntry* first = catalogue.Find(key)) {
      line += " '" + TextToUtf8(key) + "', already read from " + TextToUtf8(first->path);
    }
  } else if (skipped.reason == SkipReason::NoFunctionNames) {
    line += ArchiveDetail(skipped.archive);
  }
  return line + "\n";
}

std::string CutShortLine(const CutShortFile& file) {
  return "korvane-cli: warning: " + TextToUtf8(file.path) + ": symbol directory cut short: " +
         std::string(file.archive.field) + " at offset " + Hex(file.archive.offset) +
         "; only the names before it are listed\n";
}

void PrintLibrary(const LibraryEntry& entry, std::string& out) {
  out += TextToUtf8(FileNameFromPath(entry.path));
  out += '\t';
  out += TextToUtf8(ArchitectureText(entry));
  out += '\t';
  out += std::to_string(entry.functions.size());
  out += '\n';
  for (const ApiFunction& function : entry.functions) {
    out += '\t';
    out += TextToUtf8(function.Function);
    out += '\t';
    out += TextToUtf8(function.AnsiUni);
    out += '\n';
  }
}

}  // namespace

int RunListCommand(const std::vector<Text>& files, FileSystem& fileSystem, CliOutput& output) {
  Catalogue catalogue;
  // Windows-1252 on every system, so the listing is the same wherever it is produced.
  const LoadOutcome outcome = LoadLibraryFiles(catalogue, fileSystem, files, DecodeWindows1252);
  for (const SkippedFile& skipped : outcome.skipped) output.err += SkipLine(skipped, catalogue);
  for (const CutShortFile& file : outcome.cutShort) output.err += CutShortLine(file);
  for (const Text& path : outcome.libraryPaths) {
    if (const LibraryEntry* entry = catalogue.Find(LibraryKeyFromPath(path))) PrintLibrary(*entry, output.out);
  }
  return outcome.libraryPaths.empty() ? kExitFailure : kExitSuccess;
}

}  // namespace korvane
