// Files that are neither regular files nor folders, on the real disk: opening or reading a FIFO waits
// for a writer that never comes, so the command line must refuse them before it reads.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "helpers/archive_writer.h"
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

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The export's listing as a FIFO is refused without a read (it would wait for ever) and stays a FIFO;
// as a symbolic link it is written through, so the link stays and its target gets the entries.
TEST(SpecialFiles, AnExportKeepsAListingThatIsAFifoOrALink) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "korvane-special-listing";
  const fs::path listing = root / "Compilers" / "APIFunctionListing.txt";
  const std::string library = (root / "mylib.a").string();
  auto disk = MakeDiskFileSystem();
  FixedClock clock;
  for (const bool fifo : {true, false}) {
    fs::remove_all(root);
    fs::create_directories(root / "PureLibraries" / "Windows" / "Libraries");
    fs::create_directories(root / "Compilers");
    const testing::Bytes archive = testing::GnuLibrary({"Alpha"});
    std::ofstream(library, std::ios::binary).write(reinterpret_cast<const char*>(archive.data()),
                                                   static_cast<std::streamsize>(archive.size()));
    if (fifo) {
      ASSERT_EQ(::mkfifo(listing.c_str(), 0600), 0);
    } else {
      std::ofstream(root / "real.txt", std::ios::binary) << "Kept (x)\n";
      fs::create_symlink("../real.txt", listing);
    }
    CliOutput output;
    const int status = RunCli({u"export", u"--root", Utf8ToText(root.string()), Utf8ToText(library)}, *disk, clock, output);
    if (fifo) {
      EXPECT_EQ(status, kExitFailure);
      EXPECT_EQ(output.err, "korvane-cli: " + listing.string() + ": is not a regular file; it was left unchanged\n");
      EXPECT_TRUE(fs::is_fifo(fs::symlink_status(listing)));
    } else {
      EXPECT_EQ(status, kExitSuccess) << output.err;
      EXPECT_TRUE(fs::is_symlink(fs::symlink_status(listing)));
      EXPECT_EQ(Slurp(root / "real.txt"), "1\r\nKept (x)\r\n");
    }
  }
  fs::remove_all(root);
}

}  // namespace
}  // namespace korvane
#endif
