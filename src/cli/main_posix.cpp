// Entry point of korvane-cli on Linux: arguments arrive as UTF-8.
#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<korvane::Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(korvane::Utf8ToText(argv[i]));
  return korvane::RunCliOnConsole(args);
}
