// Opening web addresses with the system's default handler.
#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide_text.h"

namespace korvane {

bool Win32Shell::OpenAddress(const Text& address) {
  const std::wstring file = win32::ToWide(address);
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  // No error box of the shell's own: a missing browser is not reported.
  execute.fMask = SEE_MASK_FLAG_NO_UI;
  execute.lpVerb = L"open";
  execute.lpFile = file.c_str();
  execute.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&execute) != FALSE;
}

}  // namespace korvane
