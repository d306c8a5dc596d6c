// A whole export through the real windows: two of Debian's mingw-w64 import libraries dropped on the
// main window, "Export PB" clicked, an installation folder typed into the root field, "Export"
// clicked and the closing message answered. The installation it leaves must be byte for byte the one
// `korvane-cli export` leaves from the same start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/export_commands.h"
#include "app/main_window.h"
#include "app/program_numbers.h"
#include "cli/cli.h"
#include "helpers/fixtures.h"
#include "win32/program_windows.h"
#include "win32/screenshot.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

constexpr char kGdi32[] = "/usr/x86_64-w64-mingw32/lib/libgdi32.a";
constexpr char kUser32[] = "/usr/x86_64-w64-mingw32/lib/libuser32.a";

Text ToText(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return Utf8ToText(std::string(utf8.begin(), utf8.end()));
}

// An installation as the IDE ships it, with a listing of a few thousand entries, some of which the
// two libraries import.
void MakeInstallation(const fs::path& root) {
  fs::remove_all(root);
  fs::create_directories(root / "PureLibraries" / "Windows" / "Libraries");
  fs::create_directories(root / "Compilers");
  std::string listing = "3003\r\n";
  for (int i = 0; i < 3000; ++i) listing += "Func" + std::to_string(10000 + i) + " (a, b)  x\r\n";
  listing += "CreateDCW (old)\r\nMessageBoxA (old)\r\nZwClose (Handle)\r\n";
  std::ofstream(root / "Compilers" / "APIFunctionListing.txt", std::ios::binary) << listing;
}

// Every file under root by its relative path, with its bytes; folders map to "<folder>".
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).generic_string();
    tree[name] = entry.is_directory() ? "<folder>" : test::Slurp(entry.path());
  }
  return tree;
}

class ExportThroughWindowsTest : public test::ProgramWindowsTest {
 protected:
  void SetUp() override {
    if (!testing::HostFileExists(kGdi32) || !testing::HostFileExists(kUser32)) {
      GTEST_SKIP() << "Debian's mingw-w64 import libraries are not installed";
    }
    test::PrepareProcessLikeTheProgram();
    BuildMainWindow(session_);
    ApplyExportSettings(session_);  // the settings' defaults: listing switch on, "InOut"
    DispatchPending();
    windowRoot_ = fs::temp_directory_path() / "korvane export window";
    cliRoot_ = fs::temp_directory_path() / "korvane export cli";
    MakeInstallation(windowRoot_);
    MakeInstallation(cliRoot_);
  }
  void TearDown() override {
    gui_.SetSizeHandler({});
    fs::remove_all(windowRoot_);
    fs::remove_all(cliRoot_);
  }

  fs::path windowRoot_, cliRoot_;
};

TEST_F(ExportThroughWindowsTest, TheWindowsExportEqualsTheCommandLines) {
  const Text dropped = testing::HostPath(kGdi32) + u"\n" + testing::HostPath(kUser32);
  gui_.QueueEvent({kEventFilesDropped, kMainWindow, -1, 0, dropped});
  DispatchPending();
  DispatchPending();  // what the load queued
  ASSERT_EQ(gui_.RowCount(kLibrariesList), 2);

  // "Export PB": the main window is disabled, the export window shown in the middle of the screen,
  // even after the user moved it away.
  HWND exportWindow = gui_.WindowHandle(kExportWindow);
  SetWindowPos(exportWindow, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Press(kExportPb);
  ASSERT_TRUE(IsWindowVisible(exportWindow));
  EXPECT_FALSE(IsWindowEnabled(gui_.WindowHandle(kMainWindow)));
  EXPECT_EQ(GetActiveWindow(), exportWindow);
  RECT outer{};
  GetWindowRect(exportWindow, &outer);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);

  // The folder typed key by key into the root field, without its final backslash.
  HWND field = FindWindowExW(gui_.ControlHandle(kExportRoot), nullptr, L"Edit", nullptr);
  ASSERT_NE(field, nullptr);
  const Text typed = ToText(windowRoot_);
  for (const char16_t c : typed) SendMessageW(field, WM_CHAR, c, 0);
  DispatchPending();
  EXPECT_EQ(gui_.GetText(kExportRoot), typed);
  RedrawWindow(exportWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  DispatchPending();
  EXPECT_TRUE(test::SaveScreenshot(test::CaptureWindow(exportWindow), L"export-window-typed"));

  std::vector<std::wstring> messages;
  {
    test::MessageBoxReader reader;
    Press(kExportRun);
    messages = reader.Texts();
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].find(L"Export finished!"), 0u) << std::string(messages[0].begin(), messages[0].end());
  EXPECT_FALSE(IsWindowVisible(exportWindow));
  EXPECT_TRUE(IsWindowEnabled(gui_.WindowHandle(kMainWindow)));

  CliOutput output;
  const std::vector<Text> args = {u"export", u"--root", ToText(cliRoot_), testing::HostPath(kGdi32),
                                  testing::HostPath(kUser32)};
  ASSERT_EQ(RunCli(args, *files_, clock_, output), kExitSuccess) << output.err;

  const auto byWindow = Tree(windowRoot_);
  const auto byCli = Tree(cliRoot_);
  ASSERT_EQ(byWindow.size(), byCli.size());
  for (const auto& [name, bytes] : byCli) {
    const auto found = byWindow.find(name);
    ASSERT_NE(found, byWindow.end()) << name;
    EXPECT_TRUE(found->second == bytes) << name << " differs";
  }
  // The export did something: both libraries and descriptors, and a listing without their imports.
  EXPECT_EQ(byWindow.count("PureLibraries/Windows/Libraries/libuser32.a"), 1u);
  EXPECT_EQ(byWindow.count("PureLibraries/Windows/LIBGDI32"), 1u);
  const std::string& listing = byWindow.at("Compilers/APIFunctionListing.txt");
  EXPECT_EQ(listing.substr(0, 6), "3001\r\n");
  EXPECT_EQ(listing.find("MessageBoxA"), std::string::npos);
}

}  // namespace
}  // namespace korvane
