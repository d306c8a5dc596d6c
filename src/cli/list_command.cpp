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
  // Each library is printed as it is read and its functions dropped, so memory holds one library.
  const InputLoad load = LoadInputFiles(catalogue, fileSystem, files, [&output](const LoadedFile& input, LibraryEntry& entry) {
    PrintLibrary(input.fileName, entry, output.out);
    std::vector<ApiFunction>().swap(entry.functions);
  });
  output.err += load.diagnostics;
  return load.outcome.libraries.empty() ? kExitFailure : kExitSuccess;
}

}  // namespace korvane
