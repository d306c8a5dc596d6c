// Uses Korvane.exe from an unzipped release archive as a user would, from outside its process: starts
// it with the archive's folder as its working folder, presses "Load LIBs", types the library's path into
// the file dialog, presses "msdn Checked", waits for the lookups to end, presses "Save XML" and answers
// the message box. It also reads both programs' version resources, as the file properties show them.
//
//   korvane_archive_user FOLDER LIBRARY VERSION
//
// Prints what it did; exits with 0 when every step did what a user would see it do, else 1 with the
// step that failed. The saved catalogue file itself is checked by the calling script.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr DWORD kStepTimeoutMs = 180000;  // a loaded machine under Wine can be slow; a hang is not

[[noreturn]] void Fail(const std::wstring& what) {
  std::fwprintf(stderr, L"archive user: %ls\n", what.c_str());
  std::fflush(stderr);
  std::exit(1);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kStepTimeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < end) {
    if (condition()) return true;
    Sleep(100);
  }
  return condition();
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  DWORD_PTR length = 0;
  // A window of another process answers WM_GETTEXT itself; a time-out keeps a hung program from
  // hanging the test too.
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                           &length)) {
    return {};
  }
  return std::wstring(text, length);
}

std::wstring ClassName(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

// The top-level windows of `process` of the given class (and title, when not empty).
std::vector<HWND> TopWindows(DWORD process, const std::wstring& className, const std::wstring& title = {}) {
  struct Search {
    DWORD process;
    std::wstring className, title;
    std::vector<HWND> found;
  } search{process, className, title, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.process && ClassName(window) == s.className && (s.title.empty() || WindowText(window) == s.title)) {
          s.found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The child window of `parent` of the given class with the given text (any text when empty), visible
// ones only when `visibleOnly`.
HWND Child(HWND parent, const std::wstring& className, const std::wstring& text, bool visibleOnly = false) {
  struct Search {
    std::wstring className, text;
    bool visibleOnly;
    HWND found;
  } search{className, text, visibleOnly, nullptr};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (ClassName(window) != s.className) return TRUE;
        if (s.visibleOnly && !IsWindowVisible(window)) return TRUE;
        if (!s.text.empty() && WindowText(window) != s.text) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A press of a button as its window hears of it (the notification that a click or the space bar
// sends), posted: a button that opens a dialog does not return until the dialog is closed. A mouse click
// posted as BM_CLICK would depend on the button taking the focus and the mouse capture in between.
void Click(HWND button) {
  PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

// Reads the text of a list-view cell or a status bar part of another process: the item and the text
// buffer must lie in that process's memory, where the control reads and writes them.
class RemoteText {
 public:
  explicit RemoteText(HANDLE process) : process_(process) {
    memory_ = VirtualAllocEx(process_, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT | MEM_RESERVE,
                             PAGE_READWRITE);
    if (memory_ == nullptr) Fail(L"cannot reserve memory in Korvane.exe to read its list");
  }
  ~RemoteText() { VirtualFreeEx(process_, memory_, 0, MEM_RELEASE); }
  RemoteText(const RemoteText&) = delete;
  RemoteText& operator=(const RemoteText&) = delete;

  std::wstring Text(HWND list, int row, int column) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(memory_) + sizeof(LVITEMW));
    const wchar_t empty = 0;
    if (!WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr) ||
        !WriteProcessMemory(process_, item.pszText, &empty, sizeof empty, nullptr)) {
      return {};
    }
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_), SMTO_ABORTIFHUNG, 5000,
                             &length)) {
      return {};
    }
    return ReadText(item.pszText);
  }

  // The text of a status bar part of another process.
  std::wstring StatusText(HWND statusBar, int part) {
    const wchar_t empty = 0;
    if (!WriteProcessMemory(process_, memory_, &empty, sizeof empty, nullptr)) return {};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(statusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0, SMTO_ABORTIFHUNG, 5000,
                             &result) ||
        LOWORD(result) >= kChars ||
        !SendMessageTimeoutW(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(memory_),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
      return {};
    }
    return ReadText(memory_);
  }

 private:
  std::wstring ReadText(const void* remote) {
    std::wstring text(kChars, L'\0');
    if (!ReadProcessMemory(process_, remote, text.data(), kChars * sizeof(wchar_t), nullptr)) return {};
    text.resize(std::wcslen(text.c_str()));
    return text;
  }

  static constexpr int kChars = 1024;
  HANDLE process_;
  void* memory_ = nullptr;
};

// "FileVersion" and "ProductVersion" of the version resource and the fixed file version, each as
// "a.b.c.d"; a missing one is reported as such.
void CheckVersionResource(const std::wstring& file, const std::wstring& expected) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0) Fail(file + L" has no version resource");
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) Fail(file + L": its version resource cannot be read");
  for (const wchar_t* key : {L"FileVersion", L"ProductVersion"}) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr) {
      Fail(file + L" has no " + key);
    }
    const std::wstring text(value);
    std::wprintf(L"%ls %ls %ls\n", file.c_str(), key, text.c_str());
    if (text != expected) Fail(file + L": " + key + L" is " + text + L", not " + expected);
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
    Fail(file + L" has no fixed version information");
  }
  for (const auto& [name, ms, ls] : {std::tuple{L"file", fixed->dwFileVersionMS, fixed->dwFileVersionLS},
                                     std::tuple{L"product", fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
    const std::wstring text = std::to_wstring(HIWORD(ms)) + L"." + std::to_wstring(LOWORD(ms)) + L"." +
                              std::to_wstring(HIWORD(ls)) + L"." + std::to_wstring(LOWORD(ls));
    if (text != expected) Fail(file + L": the fixed " + name + L" version is " + text + L", not " + expected);
  }
}

// Answers the message box that `process` shows next with OK; returns its text, or nothing when no box
// appeared.
std::optional<std::wstring> AnswerMessageBox(DWORD process) {
  HWND box = nullptr;
  if (!WaitFor([&] {
        for (HWND dialog : TopWindows(process, L"#32770")) {
          if (IsWindowVisible(dialog) && GetDlgItem(dialog, 0xFFFF) != nullptr) box = dialog;  // its text control
        }
        return box != nullptr;
      })) {
    return std::nullopt;
  }
  const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(box); }, 30000);
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) Fail(L"usage: korvane_archive_user FOLDER LIBRARY VERSION");
  std::wstring folder = argv[1];
  if (folder.back() != L'\\') folder += L'\\';
  const std::wstring library = argv[2];
  const std::wstring version = std::wstring(argv[3]) + L".0";

  CheckVersionResource(folder + L"Korvane.exe", version);
  CheckVersionResource(folder + L"korvane-cli.exe", version);

  const std::wstring program = folder + L"Korvane.exe";
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    Fail(L"cannot start " + program);
  }
  const DWORD pid = process.dwProcessId;
  HWND main = nullptr;
  if (!WaitFor([&] {
        for (HWND window = FindWindowW(nullptr, L"Korvane (beta 4)"); window != nullptr;
             window = FindWindowExW(nullptr, window, nullptr, L"Korvane (beta 4)")) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == pid && IsWindowVisible(window)) main = window;
        }
        return main != nullptr;
      })) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    Fail(exitCode == STILL_ACTIVE ? std::wstring(L"the main window \"Korvane (beta 4)\" did not appear")
                                  : L"Korvane.exe ended at start with " + std::to_wstring(exitCode));
  }
  std::wprintf(L"the main window is open\n");

  HWND loadLibs = Child(main, L"Button", L"Load LIBs");
  HWND msdnChecked = Child(main, L"Button", L"msdn Checked");
  HWND saveXml = Child(main, L"Button", L"Save XML");
  HWND functions = Child(main, WC_LISTVIEWW, L"", true);
  HWND statusBar = Child(main, STATUSCLASSNAMEW, L"");
  if (!loadLibs || !msdnChecked || !saveXml || !functions || !statusBar) {
    Fail(L"the main window lacks its buttons, its list or its status bar");
  }

  Click(loadLibs);
  HWND dialog = nullptr;
  if (!WaitFor([&] {
        const auto found = TopWindows(pid, L"#32770", L"Open LIB");
        dialog = found.empty() ? nullptr : found.front();
        return dialog != nullptr && IsWindowVisible(dialog);
      })) {
    Fail(L"\"Load LIBs\" opened no file dialog \"Open LIB\"");
  }
  // The file name box: a combo box (cmb13) in the Explorer-style dialog, an edit (edt1) in others.
  HWND name = GetDlgItem(dialog, cmb13);
  if (name == nullptr) name = GetDlgItem(dialog, edt1);
  if (name == nullptr) Fail(L"the file dialog has no file name box");
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(library.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  LRESULT rows = 0;
  if (!WaitFor([&] {
        rows = SendMessageW(functions, LVM_GETITEMCOUNT, 0, 0);
        return rows > 0 && IsWindowEnabled(msdnChecked);
      })) {
    Fail(L"no functions were listed after the file dialog was answered with " + library);
  }
  std::wprintf(L"loaded %ls: %d functions\n", library.c_str(), static_cast<int>(rows));

  RemoteText cells(process.hProcess);
  constexpr int kReturnColumn = 2;
  constexpr int kStatusMessagePart = 2;  // where the program says what it did or what failed
  auto anyReturn = [&] {
    for (int row = 0; row < rows; ++row) {
      if (!cells.Text(functions, row, kReturnColumn).empty()) return true;
    }
    return false;
  };
  if (anyReturn()) Fail(L"functions had a return type before any lookup");
  Click(msdnChecked);
  // While the lookups run the button reads "Stop Update"; a return type shown means they have begun.
  std::wstring buttonText;
  bool saveEnabled = false;
  bool returnShown = false;
  if (!WaitFor([&] {
        buttonText = WindowText(msdnChecked);
        saveEnabled = IsWindowEnabled(saveXml) != FALSE;
        returnShown = anyReturn();
        return buttonText == L"msdn Checked" && saveEnabled && returnShown;
      })) {
    Fail(L"the lookups of \"msdn Checked\" did not end with return types shown (the button reads \"" + buttonText +
         L"\", Save XML is " + (saveEnabled ? L"enabled" : L"disabled") + L", return types " +
         (returnShown ? L"shown" : L"none") + L", the status bar says \"" +
         cells.StatusText(statusBar, kStatusMessagePart) + L"\")");
  }
  int filled = 0;
  for (int row = 0; row < rows; ++row) filled += cells.Text(functions, row, kReturnColumn).empty() ? 0 : 1;
  std::wprintf(L"msdn Checked: %d of %d functions have a return type; the status bar says \"%ls\"\n", filled,
               static_cast<int>(rows), cells.StatusText(statusBar, kStatusMessagePart).c_str());

  Click(saveXml);
  const std::optional<std::wstring> answer = AnswerMessageBox(pid);
  if (!answer) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    Fail(exitCode != STILL_ACTIVE ? L"Korvane.exe ended with " + std::to_wstring(exitCode) + L" after Save XML"
                                  : L"Save XML showed no message box; the status bar says \"" +
                                        cells.StatusText(statusBar, kStatusMessagePart) + L"\"");
  }
  const std::wstring& saved = *answer;
  std::wprintf(L"Save XML: \"%ls\"\n", saved.c_str());
  if (saved != L"Saving file(s) completed!") Fail(L"Save XML said \"" + saved + L"\"");

  PostMessageW(main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) Fail(L"Korvane.exe did not end when closed");
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  if (exitCode != 0) Fail(L"Korvane.exe ended with " + std::to_wstring(exitCode));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::wprintf(L"closed\n");
  std::fflush(stdout);
  return 0;
}
