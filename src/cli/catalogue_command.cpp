#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue_files.h"
#include "cli/cli.h"
#include "cli/input_files.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

// The folder with a separator to put file names behind. The separator is the one the folder already
// uses, so '/tmp/out' gives '/tmp/out/...' on Linux; otherwise the Windows form's "\", which the
// POSIX file system maps to "/".
Text FolderPrefix(const Text& folder) {
  if (folder.back() == u'\\' || folder.back() == u'/') return folder;
  const std::size_t last = folder.find_last_of(u"\\/");
  return folder + (last != Text::npos && folder[last] == u'/' ? u'/' : u'\\');
}

std::string MergeSkipLine(const Text& path, std::string_view reason) {
  return "korvane-cli: skipped merge file " + TextToUtf8(path) + ": " + std::string(reason) + "\n";
}

// Reads one merge file; nothing (and a line on stderr) when it cannot be used.
std::optional<CatalogueDocument> ReadMergeFile(FileSystem& files, const Text& path, std::string& err) {
  const FileContent content = files.ReadWholeFile(path);
  if (content.status != FileReadStatus::Ok) {
    err += MergeSkipLine(path, content.status == FileReadStatus::Missing ? "missing" : "cannot be read");
    return std::nullopt;
  }
  std::optional<CatalogueDocument> document = ReadCatalogueDocument(content.bytes);
  if (!document) err += MergeSkipLine(path, content.bytes.empty() ? "empty" : "not a catalogue file (malformed XML)");
  return document;
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

// Writes the catalogue file of every loaded library in load order, as "Save XML" writes it; prints
// each path written. Returns how many files were written.
int WriteCatalogueFiles(const Catalogue& catalogue, const std::vector<LoadedInput>& libraries,
                        const Text& folder, FileSystem& files, Clock& clock, CliOutput& output) {
  // Names compared without letter case: on Windows a second file differing only in case would
  // silently replace the first.
  std::vector<std::pair<Text, Text>> written;  // lower-case target and the file it was written for
  for (const LoadedInput& input : libraries) {
    const LibraryEntry* entry = catalogue.Find(input.key);
    if (entry == nullptr) continue;
    const Text target = folder + CatalogueFileName(*entry, clock.Now());
    const Text lowered = LowerCase(target);
    auto earlier = std::find_if(written.begin(), written.end(), [&](const auto& w) { return w.first == lowered; });
    if (earlier != written.end()) {
      output.err += "korvane-cli: not written " + TextToUtf8(target) + " for " + TextToUtf8(input.path) +
                    ": the file for " + TextToUtf8(earlier->second) + " was already written under that name\n";
      continue;
    }
    const std::string document = WriteCatalogueDocument(*entry);
    if (!files.WriteWholeFile(target, AsBytes(document))) {
      output.err += "korvane-cli: could not write " + TextToUtf8(target) + " for " + TextToUtf8(input.path) + "\n";
      continue;
    }
    written.emplace_back(lowered, input.path);
    output.out += TextToUtf8(target) + "\n";
  }
  return static_cast<int>(written.size());
}

}  // namespace

int RunCatalogueCommand(const CatalogueRequest& request, FileSystem& fileSystem, Clock& clock, CliOutput& output) {
  // A mistyped folder is not created: files would land somewhere the user did not mean.
  if (request.outFolder.empty() || !fileSystem.FolderExists(request.outFolder)) {
    output.err += "korvane-cli: output folder " + TextToUtf8(request.outFolder) + " does not exist\n";
    return kExitFailure;
  }
  Catalogue catalogue;
  const InputLoad load = LoadInputFiles(catalogue, fileSystem, request.files);
  output.err += load.diagnostics;
  MergeFiles(catalogue, fileSystem, request.mergeFiles, output.err);
  const int written =
      WriteCatalogueFiles(catalogue, load.libraries, FolderPrefix(request.outFolder), fileSystem, clock, output);
  return written > 0 ? kExitSuccess : kExitFailure;
}

}  // namespace korvane
