// Entry point of korvane-cli on Linux: arguments arrive as UTF-8.
#include <filesystem>
#include <system_error>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<korvane::Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(korvane::Utf8ToText(argv[i]));
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) korvane::CliProgramFolder() = korvane::Utf8ToText(program.parent_path().string() + "/");
  return korvane::RunCliOnConsole(args);
}
