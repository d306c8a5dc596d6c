// The main window at 120 pixels per inch. Windows reads the display resolution once, when a process
// starts, so the geometry tests run again in a child process started while the Wine prefix's setting
// (HKCU\Control Panel\Desktop, LogPixels) says 120. The setting is put back as soon as the child has
// read it, so other programs of the prefix see it changed only for that moment.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace korvane {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

// Sets the display resolution for processes started from now on, and puts the old setting back.
class DisplayResolutionSetting {
 public:
  explicit DisplayResolutionSetting(DWORD dpi) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = sizeof old_;
    hadOld_ = RegQueryValueExW(key_, kLogPixels, nullptr, &oldType_, reinterpret_cast<BYTE*>(&old_), &size) ==
                  ERROR_SUCCESS &&
              oldType_ == REG_DWORD;
    set_ = Write(REG_DWORD, dpi);
  }
  ~DisplayResolutionSetting() {
    Restore();
    if (key_ != nullptr) RegCloseKey(key_);
  }
  DisplayResolutionSetting(const DisplayResolutionSetting&) = delete;
  DisplayResolutionSetting& operator=(const DisplayResolutionSetting&) = delete;

  bool IsSet() const { return set_; }

  void Restore() {
    if (!set_) return;
    set_ = false;
    if (hadOld_) {
      Write(oldType_, old_);
    } else {
      RegDeleteValueW(key_, kLogPixels);
    }
  }

 private:
  bool Write(DWORD type, DWORD value) {
    return key_ != nullptr && RegSetValueExW(key_, kLogPixels, 0, type, reinterpret_cast<const BYTE*>(&value),
                                             sizeof value) == ERROR_SUCCESS;
  }

  HKEY key_ = nullptr;
  bool hadOld_ = false;
  DWORD oldType_ = REG_DWORD;
  DWORD old_ = 0;
  bool set_ = false;
};

std::wstring OwnProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

// Runs the tests `filter` names in a child process that reads `dpi` as the display resolution.
void RunChildAt(DWORD dpi, const std::wstring& filter) {
  const std::wstring readyName = L"KorvaneDisplayResolutionRead-" + std::to_wstring(GetCurrentProcessId());
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
  ASSERT_NE(ready, nullptr);

  DisplayResolutionSetting setting(dpi);
  ASSERT_TRUE(setting.IsSet()) << "cannot write the display resolution setting";
  SetEnvironmentVariableW(L"KORVANE_EXPECTED_DPI", std::to_wstring(dpi).c_str());
  SetEnvironmentVariableW(L"KORVANE_DPI_READY_EVENT", readyName.c_str());
  const std::wstring program = OwnProgram();
  std::wstring command = L"\"" + program + L"\" --gtest_filter=" + filter;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // The child's report goes where ours goes.
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  const BOOL started =
      CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableW(L"KORVANE_EXPECTED_DPI", nullptr);
  SetEnvironmentVariableW(L"KORVANE_DPI_READY_EVENT", nullptr);
  ASSERT_TRUE(started) << "cannot start " << std::string(program.begin(), program.end());

  // The child has read the resolution once its first test signals; the setting goes back at once.
  const HANDLE waitFor[] = {ready, child.hProcess};
  const DWORD first = WaitForMultipleObjects(2, waitFor, FALSE, 120000);
  setting.Restore();
  const DWORD finished = WaitForSingleObject(child.hProcess, 300000);
  DWORD exitCode = 1;
  GetExitCodeProcess(child.hProcess, &exitCode);
  if (finished != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 1);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  CloseHandle(ready);

  EXPECT_EQ(first, WAIT_OBJECT_0) << "the child ended or hung before it read the display resolution";
  ASSERT_EQ(finished, WAIT_OBJECT_0) << "the child did not finish";
  EXPECT_EQ(exitCode, 0u) << "tests failed at " << dpi << " pixels per inch (their report is above)";
}

TEST(MainWindowAtAnotherResolution, IsBuiltToScaleAt120PixelsPerInch) {
  if (std::getenv("KORVANE_EXPECTED_DPI") != nullptr) GTEST_SKIP() << "this is the child process";
  RunChildAt(120, L"MainWindowGeometry.*:MainWindowScreenshot.*:ExportWindowTest.*:TextFit.*:ScreenFit.*");
}

TEST(MainWindowAtAnotherResolution, NoControlClipsItsTextAt144PixelsPerInch) {
  if (std::getenv("KORVANE_EXPECTED_DPI") != nullptr) GTEST_SKIP() << "this is the child process";
  RunChildAt(144, L"TextFit.*");
}

// At 144 pixels per inch the designed window is wider than a 1280 x 1024 screen.
TEST(MainWindowAtAnotherResolution, FitsTheScreenAt144PixelsPerInch) {
  if (std::getenv("KORVANE_EXPECTED_DPI") != nullptr) GTEST_SKIP() << "this is the child process";
  RunChildAt(144, L"ScreenFit.*");
}

}  // namespace
}  // namespace korvane
