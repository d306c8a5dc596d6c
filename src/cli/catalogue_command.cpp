#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue_files.h"
#include "catalogue/save_files.h"
#include "cli/cli.h"
#include "cli/input_files.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

std::string MergeSkipLine(const Text& path, std::string_view reason) {
  return "korvane-cli: skipped merge file " + TextToUtf8(path) + ": " + std::string(reason) + "\n";
}

std::string_view ReadFailure(FileReadStatus status) {
  switch (status) {
    case FileReadStatus::Missing: return "missing";
    case FileReadStatus::NotRegularFile: return "not a regular file";
    case FileReadStatus::Ok:
    case FileReadStatus::Unreadable: break;
  }
  return "cannot be read";
}

// Reads one merge file; nothing (and a line on stderr) when it cannot be used.
std::optional<CatalogueDocument> ReadMergeFile(FileSystem& files, const Text& path, std::string& err) {
  const FileContent content = files.ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) {
    err += MergeSkipLine(path, ReadFailure(content.status));
    return std::nullopt;
  }
  CatalogueReadError error = CatalogueReadError::None;
  std::optional<CatalogueDocument> document = ReadCatalogueDocument(content.bytes, &error);
  if (document) return document;
  const std::size_t start = content.bytes.size() >= 3 && content.bytes[0] == 0xEF && content.bytes[1] == 0xBB &&
                                    content.bytes[2] == 0xBF ? 3 : 0;
  const auto first = std::find_if(content.bytes.begin() + static_cast<std::ptrdiff_t>(start), content.bytes.end(),
                                  [](std::uint8_t b) { return b != ' ' && b != '\t' && b != '\r' && b != '\n'; });
  if (content.bytes.empty()) {
    err += MergeSkipLine(path, "empty");
  } else if (first == content.bytes.end() || *first != '<') {
    err += MergeSkipLine(path, "not a catalogue file (not XML)");
  } else if (error == CatalogueReadError::EntityDeclaration) {
    err += MergeSkipLine(path, "not a catalogue file (entity declarations are not accepted)");
  } else {
    err += MergeSkipLine(path, "not a catalogue file (malformed XML)");
  }
  return std::nullopt;
}

// The merge of "Merge XML": files keyed by the library name in their file names, a later file with
// the same key replacing the earlier one's records. That replacement drops a whole file the user
// named, so it is reported like any other skipped file.
void MergeFiles(Catalogue& catalogue, FileSystem& files, const std::vector<Text>& paths, std::string& err) {
  MergeSet merge;
  std::vector<std::pair<Text, Text>> sources;  // library file name and the merge file it came from
  for (const Text& path : paths) {
    std::optional<CatalogueDocument> document = ReadMergeFile(files, path, err);
    if (!document) continue;
    const Text name = LibraryFileNameFromCatalogueFile(path);
    auto source = std::find_if(sources.begin(), sources.end(), [&](const auto& s) { return s.first == name; });
    if (source == sources.end()) {
      sources.emplace_back(name, path);
    } else {
      const std::string library = name.empty() ? "no library name in its file name either"
                                               : "the same library name '" + TextToUtf8(name) + "'";
      err += MergeSkipLine(source->second,
                           "replaced by the later merge file " + TextToUtf8(path) + " (" + library + ")");
      source->second = path;
    }
    merge.Replace(name, std::move(document->records));
  }
  MergeIntoCatalogue(catalogue, merge);
}

}  // namespace

int WriteCatalogueFiles(const Catalogue& catalogue, const LoadOutcome& load, const Text& outFolder,
                        FileSystem& files, Clock& clock, CliOutput& output) {
  const Text folder = FolderPrefix(outFolder);
  // Results name libraries by key; the user knows them by the file named on the command line.
  const auto inputPath = [&load](const Text& key) {
    for (const LoadedFile& input : load.libraries) {
      if (input.key == key) return TextToUtf8(input.path);
    }
    return TextToUtf8(key);
  };
  int written = 0;
  for (const SavedFile& file : SaveCatalogueDocuments(catalogue, folder, files, clock)) {
    const std::string target = TextToUtf8(file.target);
    switch (file.status) {
      case SaveStatus::Written:
        output.out += target + "\n";
        ++written;
        break;
      case SaveStatus::NameTaken:
        output.err += "korvane-cli: not written " + target + " for " + inputPath(file.key) + ": the file for " +
                      inputPath(file.takenBy) + " was already written under that name\n";
        break;
      case SaveStatus::WriteFailed:
        output.err += "korvane-cli: could not write " + target + " for " + inputPath(file.key) + "\n";
        break;
    }
  }
  return written;
}

Text FolderPrefix(const Text& folder) {
  if (folder.back() == u'\\' || folder.back() == u'/') return folder;
  const std::size_t last = folder.find_last_of(u"\\/");
  return folder + (last != Text::npos ? folder[last] : kSystemSeparator);
}

bool OutFolderExists(const Text& outFolder, FileSystem& fileSystem, CliOutput& output) {
  // A mistyped folder is not created: files would land somewhere the user did not mean.
  if (!outFolder.empty() && fileSystem.FolderExists(outFolder)) return true;
  const bool file = !outFolder.empty() && fileSystem.FileExists(outFolder);
  output.err += "korvane-cli: output folder " + TextToUtf8(outFolder) + (file ? " is a file, not a folder\n" : " does not exist\n");
  return false;
}

int RunCatalogueCommand(const CatalogueRequest& request, FileSystem& fileSystem, Clock& clock, CliOutput& output) {
  if (!OutFolderExists(request.outFolder, fileSystem, output)) return kExitFailure;
  Catalogue catalogue;
  const InputLoad load = LoadInputFiles(catalogue, fileSystem, request.files);
  output.err += load.diagnostics;
  MergeFiles(catalogue, fileSystem, request.mergeFiles, output.err);
  const int written =
      WriteCatalogueFiles(catalogue, load.outcome, request.outFolder, fileSystem, clock, output);
  return written > 0 ? kExitSuccess : kExitFailure;
}

}  // namespace korvane
