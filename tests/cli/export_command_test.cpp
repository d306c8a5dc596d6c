// korvane-cli export on the disk: a small installation tree in a temporary folder and two of the
// import libraries Debian's mingw-w64 packages install.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/cli.h"
#include "helpers/fixtures.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kGdi32 = "/usr/x86_64-w64-mingw32/lib/libgdi32.a";
constexpr std::string_view kUser32 = "/usr/x86_64-w64-mingw32/lib/libuser32.a";
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

Text ToText(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return Utf8ToText(std::string(utf8.begin(), utf8.end()));
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class ExportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::HostFileExists(kGdi32) || !testing::HostFileExists(kUser32)) GTEST_SKIP() << "mingw-w64 libraries absent";
    // One folder per test: the suites may run side by side.
    root_ = fs::temp_directory_path() /
            ("korvane-export-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "PureLibraries" / "Windows" / "Libraries");
    fs::create_directories(root_ / "Compilers");
    std::string listing = "3002\r\n";
    for (int i = 0; i < 3000; ++i) listing += "Func" + std::to_string(10000 + i) + " (a, b)  x\r\n";
    listing += "CreateDCW (old)\r\nMessageBoxA (old)\r\n";
    std::ofstream(root_ / "Compilers" / "APIFunctionListing.txt", std::ios::binary) << listing;
  }
  void TearDown() override { fs::remove_all(root_); }

  int Run(std::vector<Text> args) {
    args.insert(args.begin(), u"export");
    auto files = MakeDiskFileSystem();
    auto clock = MakeSystemClock();
    return RunCli(args, *files, *clock, output_);
  }

  fs::path root_;
  CliOutput output_;
};

TEST_F(ExportCommandTest, InstallsBothLibrariesAndDropsTheirImportsFromTheListing) {
  ASSERT_EQ(Run({u"--root", ToText(root_), testing::HostPath(kGdi32), testing::HostPath(kUser32)}), kExitSuccess)
      << output_.err;
  EXPECT_EQ(output_.err, "");
  const std::string windows = TextToUtf8(ToText(root_ / "PureLibraries" / "Windows")) + kSeparator;
  const std::string listing = TextToUtf8(ToText(root_ / "Compilers" / "APIFunctionListing.txt"));
  EXPECT_EQ(output_.out, windows + "Libraries" + kSeparator + "libgdi32.a\n" + windows + "LIBGDI32\n" + listing + "\n" +
                             windows + "Libraries" + kSeparator + "libuser32.a\n" + windows + "LIBUSER32\n" + listing +
                             "\n");
  // A freshly read library has no return types yet: nothing qualifies, but its imports leave the listing.
  const std::string after = Slurp(root_ / "Compilers" / "APIFunctionListing.txt");
  EXPECT_EQ(after.substr(0, 6), "3000\r\n");
  EXPECT_EQ(after.find("CreateDCW"), std::string::npos);
  EXPECT_EQ(after.find("MessageBoxA"), std::string::npos);
  EXPECT_EQ(Slurp(root_ / "PureLibraries" / "Windows" / "LIBUSER32"), std::string("ERUPLLDE\x03\0\0\0\0LIBUSER32\0", 23));
  EXPECT_EQ(fs::file_size(root_ / "PureLibraries" / "Windows" / "Libraries" / "libgdi32.a"),
            fs::file_size(fs::path(std::string(kGdi32))));
}

TEST_F(ExportCommandTest, StatusesAndMessages) {
  struct Case {
    std::vector<Text> args;  // after "export"; "ROOT" stands for the installation
    int status;
    std::string errStart;
  };
  const Case cases[] = {
      {{u"ROOT", u"--no-listing", u"LIB"}, kExitSuccess, ""},
      {{u"ROOT", u"--annotations", u"keep", u"--template", u"", u"LIB"}, kExitSuccess, ""},
      {{u"ROOT", u"--template", u"- %DSC%", u"LIB"}, kExitSuccess, ""},
      {{u"ROOT", u"LIB", u"--template"}, kExitUsage, "korvane-cli: option '--template' needs a value"},
      {{u"--root", u"/no/such/folder", u"LIB"}, kExitFailure, "korvane-cli: /no/such/folder: does not exist"},
      {{u"ROOT", u"/no/such.lib"}, kExitFailure, "korvane-cli: skipped /no/such.lib: missing\n"},
      {{u"LIB"}, kExitUsage, "korvane-cli: export needs --root DIR"},
      {{u"ROOT"}, kExitUsage, "korvane-cli: export needs at least one FILE"},
      {{u"ROOT", u"--annotations", u"InOut", u"LIB"}, kExitUsage, "korvane-cli: --annotations takes"},
      {{u"ROOT", u"--no-such", u"LIB"}, kExitUsage, "korvane-cli: "},
  };
  for (const Case& c : cases) {
    std::vector<Text> args;
    for (const Text& arg : c.args) {
      if (arg == u"ROOT") {
        args.insert(args.end(), {u"--root", ToText(root_)});
      } else {
        args.push_back(arg == u"LIB" ? testing::HostPath(kGdi32) : arg);
      }
    }
    output_ = {};
    EXPECT_EQ(Run(args), c.status) << output_.err;
    EXPECT_EQ(output_.err.substr(0, c.errStart.size()), c.errStart);
  }
  // An installation without its Compilers folder: nothing goes in, the failure is named.
  fs::remove_all(root_ / "Compilers");
  fs::remove(root_ / "PureLibraries" / "Windows" / "Libraries" / "libgdi32.a");
  output_ = {};
  EXPECT_EQ(Run({u"--root", ToText(root_), testing::HostPath(kGdi32)}), kExitFailure);
  EXPECT_FALSE(fs::exists(root_ / "PureLibraries" / "Windows" / "Libraries" / "libgdi32.a"));
  EXPECT_NE(output_.err.find("Compilers"), std::string::npos);
  EXPECT_NE(output_.err.find("folder missing"), std::string::npos);
}

#ifndef _WIN32
TEST_F(ExportCommandTest, ALockFileThatCannotBeOpenedStopsTheExport) {
  const fs::path lock = root_ / "korvane-export.lock";
  const fs::path listing = root_ / "Compilers" / "APIFunctionListing.txt";
  const std::string before = Slurp(listing);
  const struct {
    const char* what;
    std::function<void()> make;
    std::string reason;
  } cases[] = {
      {"a folder", [&] { fs::create_directory(lock); }, "is a folder"},
      {"a link to a file", [&] { fs::create_symlink(listing, lock); }, "could not be opened for writing"},
      {"a dangling link", [&] { fs::create_symlink(root_ / "nowhere", lock); }, "could not be opened for writing"},
  };
  for (const auto& c : cases) {
    fs::remove_all(lock);
    c.make();
    output_ = {};
    EXPECT_EQ(Run({u"--root", ToText(root_), testing::HostPath(kGdi32)}), kExitFailure) << c.what;
    EXPECT_EQ(output_.out, "") << c.what;
    EXPECT_EQ(output_.err.rfind("korvane-cli: " + TextToUtf8(ToText(lock)) + ": cannot be locked", 0), 0u)
        << c.what << ": " << output_.err;
    EXPECT_NE(output_.err.find(c.reason), std::string::npos) << c.what;
    EXPECT_EQ(Slurp(listing), before) << c.what;
    EXPECT_FALSE(fs::exists(root_ / "PureLibraries" / "Windows" / "LIBGDI32")) << c.what;
    EXPECT_FALSE(fs::exists(root_ / "nowhere")) << c.what;
  }
}
#endif

}  // namespace
}  // namespace korvane
