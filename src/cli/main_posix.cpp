// Entry point of korvane-cli on Linux: arguments arrive as bytes, normally UTF-8; a file name in another
// encoding keeps its bytes, so the file it names can be opened.
#include <filesystem>
#include <system_error>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<korvane::Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(korvane::FileNameBytesToText(argv[i]));
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) korvane::CliProgramFolder() = korvane::Utf8ToText(program.parent_path().string() + "/");
  return korvane::RunCliOnConsole(args);
}
