// `docs build` on the disk: its checks before the parse, and what it leaves behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "helpers/cli_test.h"
#include "platform/file_system.h"

namespace korvane {
namespace {

using testing::CliRun;
using testing::RunCliWith;

class DocsBuildCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("korvane-docs-build-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "h");
    std::filesystem::create_directories(root_ / "ref" / "sdk");
    Write("h/windows.h", "typedef unsigned long DWORD;\n#include \"beep.h\"\n");
    Write("h/beep.h", "int __stdcall Beep(DWORD dwFreq, DWORD dwDuration);\n");
    Write("h/types.h", "typedef int INT;\n");
    Write("ref/sdk/nf-beep-beep.md", "---\nUID: NF:utilapiset.Beep\n---\n## -description\nBeeps.\n");
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  void Write(const std::string& name, const std::string& text) { std::ofstream(root_ / name, std::ios::binary) << text; }
  Text At(const std::string& name) const { return Utf8ToText((root_ / name).string()); }
  CliRun Build(std::vector<Text> args) {
    args.insert(args.begin(), {u"docs", u"build"});
    return RunCliWith(args, *disk_, clock_);
  }

  std::filesystem::path root_;
  std::unique_ptr<FileSystem> disk_ = MakeDiskFileSystem();
  FixedClock clock_;
};

// Every argument and every input is checked before the parse: one that is wrong or would be skipped is
// named, nothing is written, and the status is 1.
TEST_F(DocsBuildCommand, ABadArgumentOrASkippedInputWritesNothing) {
  const struct {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
    std::vector<std::string> args;  // after "docs build"; '@' stands for the test's folder
    std::string problem;            // '@' likewise
  } kCases[] = {
      {"a header folder that is not there", {}, {"--headers", "@/h", "@/nosuch", "--out", "@/set.docs"},
       "@/nosuch: does not exist"},
      {"a header folder that is a file", {}, {"--headers", "@/h/beep.h", "--out", "@/set.docs"},
       "@/h/beep.h: is not a folder"},
      {"an --out folder that is not there", {}, {"--headers", "@/h", "--out", "@/nodir/set.docs"},
       "@/nodir/set.docs: its folder @/nodir does not exist"},
      {"an --out that is a folder", {}, {"--headers", "@/h", "--out", "@/ref"}, "@/ref: is a folder"},
      {"an --out that is an input header", {}, {"--headers", "@/h", "--out", "@/h/windows.h"},
       "@/h/windows.h: is a header that the build reads"},
      {"an --out that is a reference page", {}, {"--headers", "@/h", "--reference", "@/ref", "--out", "@/ref/sdk/nf-beep-beep.md"},
       "@/ref/sdk/nf-beep-beep.md: is a reference page that the build reads"},
      {"a pipe among the headers",
       [](const auto& root) { ASSERT_EQ(::mkfifo((root / "h" / "pipe.h").c_str(), 0644), 0); },
       {"--headers", "@/h", "--out", "@/set.docs"}, "@/h/pipe.h: not a regular file"},
      {"a device among the reference pages",
       [](const auto& root) { std::filesystem::create_symlink("/dev/zero", root / "ref" / "sdk" / "nf-zero-zero.md"); },
       {"--headers", "@/h", "--reference", "@/ref", "--out", "@/set.docs"}, "@/ref/sdk/nf-zero-zero.md: not a regular file"},
      {"a page without a name", [](const auto& root) { std::ofstream(root / "ref" / "sdk" / "nf-x-x.md") << "no front matter"; },
       {"--headers", "@/h", "--reference", "@/ref", "--out", "@/set.docs"}, "@/ref/sdk/nf-x-x.md: no function name"},
  };
  const auto fill = [this](std::string text) {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
      text.replace(at, 1, root_.string());
      at += root_.string().size();
    }
    return text;
  };
  for (const auto& c : kCases) {
    SetUp();
    if (c.make) c.make(root_);
    std::vector<Text> args;
    for (const std::string& arg : c.args) args.push_back(Utf8ToText(fill(arg)));
    const CliRun run = Build(args);
    EXPECT_EQ(run.status, kExitFailure) << c.what;
    EXPECT_NE(run.output.err.find("korvane-cli: " + fill(c.problem)), std::string::npos) << c.what << "\n" << run.output.err;
    EXPECT_NE(run.output.err.find("korvane-cli: nothing written\n"), std::string::npos) << c.what;
    EXPECT_EQ(run.output.out, "") << c.what;
    EXPECT_FALSE(std::filesystem::exists(root_ / "set.docs")) << c.what;
    std::ifstream header(root_ / "h" / "windows.h");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(header), {}).substr(0, 7), "typedef") << c.what;
  }
}

// A build names the headers that gave nothing, and removes the temporaries of its set that a killed
// build left; one written to just now may be a running build's and stays.
TEST_F(DocsBuildCommand, ABuildNamesSilentHeadersAndRemovesStaleTemporaries) {
  const std::string mark = TextToUtf8(kTemporaryFileMark);
  Write("set.docs" + mark + "-old123", std::string(1000, 'x'));
  Write("set.docs" + mark + "-new456", "x");
  Write("other.txt" + mark + "-old789", "x");
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(root_ / ("set.docs" + mark + "-old123"), old);
  std::filesystem::last_write_time(root_ / ("other.txt" + mark + "-old789"), old);
  const CliRun run = Build({u"--headers", At("h"), u"--out", At("set.docs")});
  EXPECT_EQ(run.status, kExitSuccess) << run.output.err;
  EXPECT_EQ(run.output.out, "1 functions in 1 groups written to " + (root_ / "set.docs").string() +
                                "\n1 headers gave no function: types.h\n");
  EXPECT_FALSE(std::filesystem::exists(root_ / ("set.docs" + mark + "-old123")));
  EXPECT_TRUE(std::filesystem::exists(root_ / ("set.docs" + mark + "-new456")));
  EXPECT_TRUE(std::filesystem::exists(root_ / ("other.txt" + mark + "-old789")));  // another file's
}

}  // namespace
}  // namespace korvane
