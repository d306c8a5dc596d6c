// Files that are neither regular files nor folders, on the real disk: opening or reading a FIFO waits
// for a writer that never comes, so the command line must refuse them before it reads.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "cli/cli.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

TEST(SpecialFiles, AFifoOrADeviceIsSkippedAsNotARegularFile) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane-special-files";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "out");
  const std::string fifo = (folder / "pipe.lib").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto disk = MakeDiskFileSystem();
  FixedClock clock;
  struct Case {
    std::vector<Text> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{u"list", Utf8ToText(fifo)}, "korvane-cli: skipped " + fifo + ": not a regular file\n"},
      {{u"list", u"/dev/null"}, "korvane-cli: skipped /dev/null: not a regular file\n"},
      {{u"catalogue", u"--out", Utf8ToText((folder / "out").string()), u"--merge", Utf8ToText(fifo), Utf8ToText(fifo)},
       "korvane-cli: skipped " + fifo + ": not a regular file\nkorvane-cli: skipped merge file " + fifo +
           ": not a regular file\n"},
  };
  for (const Case& c : cases) {
    CliOutput output;
    EXPECT_EQ(RunCli(c.args, *disk, clock, output), kExitFailure) << c.err;
    EXPECT_EQ(output.err, c.err);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korvane
#endif
