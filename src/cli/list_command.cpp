#include <string>

#include "cli/cli.h"
#include "cli/input_files.h"

namespace korvane {
namespace {

void PrintLibrary(const Text& fileName, const LibraryEntry& entry, std::string& out) {
  out += TextToUtf8(fileName);
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
  const InputLoad load = LoadInputFiles(catalogue, fileSystem, files);
  output.err += load.diagnostics;
  for (const LoadedFile& input : load.outcome.libraries) {
    if (const LibraryEntry* entry = catalogue.Find(input.key)) PrintLibrary(input.fileName, *entry, output.out);
  }
  return load.outcome.libraries.empty() ? kExitFailure : kExitSuccess;
}

}  // namespace korvane
