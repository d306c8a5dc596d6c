// Entry point of korvane-cli on Linux: arguments arrive as bytes, normally UTF-8; a file name in another
// encoding keeps its bytes, so the file it names can be opened.
#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<korvane::Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(korvane::FileNameBytesToText(argv[i]));
  return korvane::RunCliOnConsole(args);
}
