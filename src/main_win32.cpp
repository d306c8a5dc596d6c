// Entry point of Korvane.exe: prepares the process, creates the Win32 platform and runs the program.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/program.h"
#include "platform/file_system.h"
#include "platform/http_page_source.h"
#include "platform/platform.h"
#include "platform/win32/ansi_code_page.h"
#include "platform/win32/letter_case.h"
#include "platform/win32/fault_report.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_gui.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/wide_text.h"

namespace {

void InitialiseCommonControls() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES;
  InitCommonControlsEx(&controls);
}

// Declares the process aware of the screen's resolution, so that Windows reports the real pixels per
// inch instead of stretching the windows. Looked up at run time because older systems lack it; the
// program then goes on without it. The library stays loaded for the life of the process.
void DeclareResolutionAware() {
  HMODULE user32 = LoadLibraryW(L"user32.dll");
  if (user32 == nullptr) return;
  FARPROC found = GetProcAddress(user32, "SetProcessDPIAware");
  if (found == nullptr) return;
  using SetProcessDpiAwareFunction = BOOL(WINAPI*)();
  // Through void(*)(): the one function pointer type that converts to any other without complaint.
  reinterpret_cast<SetProcessDpiAwareFunction>(reinterpret_cast<void (*)()>(found))();
}

// The folder Korvane.exe lies in, ending in a backslash; empty when Windows cannot say.
korvane::Text ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // cut short: long paths
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  return korvane::win32::FromWide(std::wstring_view(path).substr(0, slash + 1));
}

int RunWindowProgram() {
  korvane::Win32Gui gui;
  korvane::Win32Dialogs dialogs;
  const std::unique_ptr<korvane::FileSystem> files = korvane::MakeDiskFileSystem();
  korvane::Win32Shell shell;
  const std::unique_ptr<korvane::Clock> clock = korvane::MakeSystemClock();
  korvane::Platform platform{gui, dialogs, *files, shell, *clock, korvane::DecodeSystemAnsi,
                              korvane::SystemUpperCase};
  korvane::PageSourceMakers makers;
  makers.programFolder = ProgramFolder();
  makers.browser = [&gui](korvane::PageLoadHandler onLoad) { return gui.BrowserPageSource(std::move(onLoad)); };
  makers.http = [](korvane::PageLoadHandler onLoad) { return korvane::MakeHttpPageSource(std::move(onLoad)); };
  return korvane::RunProgram(platform, makers);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  InitialiseCommonControls();
  // OLE (not only COM) for drops from the shell and the embedded browser.
  const HRESULT ole = OleInitialize(nullptr);
  korvane::InstallFaultReport();
  DeclareResolutionAware();
  // The windows are gone when RunWindowProgram returns, before OLE ends.
  const int exitCode = RunWindowProgram();
  if (SUCCEEDED(ole)) OleUninitialize();
  return exitCode;
}
