#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/archive_writer.h"
#include "helpers/cli_test.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

using testing::CliRun;

class ListCommandTest : public testing::CliTest {
 protected:
  ListCommandTest() {
    files.AddFile(u"C:\\Lib\\user32.lib",
                  testing::MicrosoftLibrary({"_MessageBoxW@16", "__imp__MessageBoxA@16", "_MessageBoxA@16", "_GetDC@4"}));
    files.AddFile(u"C:\\Lib\\caf\u00E9.lib", testing::GnuLibrary({"Caf\xE9", "__imp_Caf\xE9", "Plain"}));
    files.AddFile(u"C:\\Lib\\notes.lib", "notes");
    files.AddFile(u"D:\\x64\\user32.lib", testing::MicrosoftLibrary({"Beep"}));
  }
};

TEST_F(ListCommandTest, PrintsEachLibraryAndItsFunctionsInLoadOrder) {
  const CliRun run = Cli({u"list", u"C:\\Lib\\caf\u00E9.lib", u"C:\\Lib\\user32.lib"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.out,
            "caf\xC3\xA9.lib\tx64\t2\n"
            "\tCaf\xC3\xA9\t\n"
            "\tPlain\t\n"
            "user32.lib\tx86\t4\n"
            "\tGetDC\t\n"
            "\tMessageBox\tMessageBox\n"
            "\tMessageBoxA\tMessageBox\n"
            "\tMessageBoxW\tMessageBox\n");
  EXPECT_EQ(run.output.err, "");
}

TEST_F(ListCommandTest, NamesEverySkippedFileOnStandardError) {
  const CliRun run = Cli({u"list", u"C:\\Lib\\notes.lib", u"C:\\Lib\\user32.lib", u"C:\\Lib\\gone.lib",
                       u"D:\\x64\\user32.lib"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.err,
            "korvane-cli: skipped C:\\Lib\\notes.lib: not an archive or catalogue file\n"
            "korvane-cli: skipped C:\\Lib\\gone.lib: missing\n"
            "korvane-cli: skipped D:\\x64\\user32.lib: duplicate library name 'user32', already read from "
            "C:\\Lib\\user32.lib\n");
  EXPECT_EQ(run.output.out.rfind("user32.lib\tx86\t4\n", 0), 0u);
}

TEST_F(ListCommandTest, ExitStatusTellsWhetherAnyLibraryWasRead) {
  struct Case {
    std::vector<Text> args;
    int status;
    bool helpOnStdout;
    const char* errorContains;
  };
  const std::vector<Case> cases = {
      {{u"list", u"C:\\Lib\\notes.lib"}, kExitFailure, false, "not an archive or catalogue file"},
      {{u"list", u"C:\\Lib\\gone.lib"}, kExitFailure, false, "missing"},
      {{}, kExitUsage, false, "missing command"},
      {{u"list"}, kExitUsage, false, "at least one FILE"},
      {{u"show", u"x.lib"}, kExitUsage, false, "unknown command 'show'"},
      {{u"list", u"--verbose", u"C:\\Lib\\user32.lib"}, kExitUsage, false, "unknown option '--verbose'"},
      {{u"--help"}, kExitSuccess, true, ""},
      {{u"list", u"--help"}, kExitSuccess, true, ""},
      {{u"list", u"--", u"C:\\Lib\\user32.lib"}, kExitSuccess, false, ""},
  };
  for (const auto& c : cases) {
    const CliRun run = Cli(c.args);
    const std::string label = c.args.empty() ? "(no arguments)" : TextToUtf8(c.args.back());
    EXPECT_EQ(run.status, c.status) << label;
    EXPECT_NE(run.output.err.find(c.errorContains), std::string::npos) << label << ": " << run.output.err;
    EXPECT_EQ(run.output.out.find("Usage: korvane-cli") == 0, c.helpOnStdout) << label;
  }
}

TEST_F(ListCommandTest, EveryCommandIsInTheHelpAndItsHelpIsItsOwnUsage) {
  const std::string help = Cli({u"--help"}).output.out;
  for (const CliCommand& command : CliCommands()) {
    const std::string name(command.name);
    EXPECT_NE(help.find("korvane-cli " + name + " "), std::string::npos) << name;
    const CliRun run = Cli({Utf8ToText(name), u"--help"});
    EXPECT_EQ(run.status, kExitSuccess) << name;
    EXPECT_EQ(run.output.out, command.usage) << name;
    EXPECT_EQ(run.output.out.rfind("Usage: korvane-cli " + name + " ", 0), 0u) << name;
  }
}

TEST_F(ListCommandTest, ExplainsAnArchiveWithoutADirectory) {
  files.AddFile(u"C:\\Lib\\one.lib", testing::ArchiveWriter().Member("a.o/", "xx").BuildString());
  const CliRun run = Cli({u"list", u"C:\\Lib\\one.lib"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.output.err,
            "korvane-cli: skipped C:\\Lib\\one.lib: no function names (no symbol directory: second member "
            "header missing at offset 0x46)\n");
}

}  // namespace
}  // namespace korvane
