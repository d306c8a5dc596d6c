// Entry point of korvane-cli.exe: arguments arrive as UTF-16; output is written as UTF-8 bytes in
// binary mode, so line ends stay LF exactly as on Linux.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

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
  // The program's folder, where the documentation set is looked for by default.
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length > 0 && length < path.size()) {
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) korvane::CliProgramFolder().assign(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(slash) + 1);
  }
  return korvane::RunCliOnConsole(args);
}
