// Entry point of korvane-cli.exe: arguments arrive as UTF-16; output is written as UTF-8 bytes in
// binary mode, so line ends stay LF exactly as on Linux.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "cli/cli.h"

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<korvane::Text> args;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view arg(argv[i]);
    args.emplace_back(arg.begin(), arg.end());
  }
  return korvane::RunCliOnConsole(args);
}
