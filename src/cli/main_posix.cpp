// Entry point of korvane-cli on Linux: arguments arrive as UTF-8.
#include <cstdio>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<korvane::Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(korvane::Utf8ToText(argv[i]));
  auto files = korvane::MakeDiskFileSystem();
  korvane::CliOutput output;
  const int status = korvane::RunCli(args, *files, output);
  std::fwrite(output.out.data(), 1, output.out.size(), stdout);
  std::fwrite(output.err.data(), 1, output.err.size(), stderr);
  return std::fflush(stdout) == 0 ? status : korvane::kExitFailure;
}
