#include <string>

#include "cli/cli.h"
#include "cli/input_files.h"

namespace korvane {
namespace {

void PrintLibrary(const Text& fileName, const LibraryEntry& entry, std::string& out) {
  AppendTextAsUtf8(out, fileName);
  out += '\t';
  AppendTextAsUtf8(out, ArchitectureText(entry));
  out += '\t';
  out += std::to_string(entry.functions.size());
  out += '\n';
  for (const ApiFunction& function : entry.functions) {
    out += '\t';
    AppendTextAsUtf8(out, function.Function);
    out += '\t';
    AppendTextAsUtf8(out, function.AnsiUni);
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
