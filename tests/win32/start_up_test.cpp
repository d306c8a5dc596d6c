// Korvane.exe itself, started as a user would in a folder of their own: it keeps its settings file and
// catalogue folder in its working directory, not beside the program, and a close ends it with 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "helpers/fixtures.h"

namespace korvane {
namespace {

std::wstring Wide(const Text& text) { return std::wstring(text.begin(), text.end()); }

// Waits for the program's main window to appear; nullptr after about 30 s.
HWND WaitForMainWindow() {
  for (int attempt = 0; attempt < 300; ++attempt) {
    if (HWND window = FindWindowW(nullptr, L"Korvane (beta 4)")) return window;
    Sleep(100);
  }
  return nullptr;
}

TEST(StartUp, SettingsAndCatalogueFolderGoToTheWorkingDirectory) {
  const std::wstring program = Wide(testing::HostPath(KORVANE_PROGRAM_PATH));
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"korvane start-up \u00e9";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + program + L"\"";
  ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.c_str(), &startup, &process))
      << "cannot start " << std::string(program.begin(), program.end());
  HWND window = WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  std::ifstream settings(folder / L"Korvane.ini", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, "\xEF\xBB\xBF\r\n[Korvane]\r\nLibDir = C:\\\r\n[Export]\r\nAPI = 1\r\nSAL = 1\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(folder / L"Korvane.xml"));
  settings.close();
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korvane
