#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/archive_writer.h"
#include "helpers/cli_test.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

// A catalogue file as another tool might write it: any layout, records out of name order, a field
// missing here and there.
constexpr std::string_view kKernel32Xml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kernel32.lib path=\"C:\\SDK\\Lib\\\" x86=\"0\">\n"
    "  <element><Function>Sleep</Function><Parameters>DWORD ms</Parameters><checked>1</checked></element>\n"
    "  <element><Function>Beep</Function><AnsiUni>x</AnsiUni></element>\n"
    "  <other><Function>NotARecord</Function></other>\n"
    "</kernel32.lib>\n";

constexpr char16_t kKernel32Path[] = u"C:\\Cat\\[x64] [12.06.2015-21.42.35] kernel32.lib.xml";

using testing::CliRun;

class ListCatalogueFilesTest : public testing::CliTest {
 protected:
  ListCatalogueFilesTest() {
    files.AddFile(u"C:\\Lib\\user32.lib", testing::MicrosoftLibrary({"_GetDC@4", "_MessageBoxA@16"}));
    files.AddFile(kKernel32Path, kKernel32Xml);
  }

  CliRun List(const std::vector<Text>& paths) {
    std::vector<Text> args = {u"list"};
    args.insert(args.end(), paths.begin(), paths.end());
    return Cli(args);
  }
};

TEST_F(ListCatalogueFilesTest, ListsLibrariesAndCatalogueFilesTogetherInLoadOrder) {
  const CliRun run = List({kKernel32Path, u"C:\\Lib\\user32.lib"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.out,
            "kernel32.lib\tx64\t2\n"
            "\tSleep\t\n"
            "\tBeep\tx\n"
            "user32.lib\tx86\t2\n"
            "\tGetDC\t\n"
            "\tMessageBoxA\t\n");
  EXPECT_EQ(run.output.err, "");
  // The content check and the library loader share one read.
  EXPECT_EQ(files.ReadCount(u"C:\\Lib\\user32.lib"), 1);
}

TEST_F(ListCatalogueFilesTest, ListsACatalogueFileUnderTheLibraryNameItsFileNameCarries) {
  struct Case {
    Text path;
    std::string firstLine;
  };
  const std::vector<Case> cases = {
      // The root element says kernel32.lib; the file's name decides.
      {u"C:\\Cat\\[x64] [12.06.2015-21.42.35] renamed.lib.xml", "renamed.lib\tx64\t2\n"},
      {u"C:\\My Tools\\Korvane.xml\\[x64] [12.06.2015-21.42.35] kernel32.lib.xml", "kernel32.lib\tx64\t2\n"},
      {u"C:\\Cat\\[x64] [12.06.2015-21.42.35] kernel32.lib.xml.xml", "kernel32.lib\tx64\t2\n"},
      // The architecture comes from the content, not from the name.
      {u"C:\\Cat\\[x86] [01.01.2000-00.00.00] k32.dll.xml", "k32.dll\tx64\t2\n"},
  };
  for (const Case& c : cases) {
    files.AddFile(c.path, kKernel32Xml);
    const CliRun run = List({c.path});
    EXPECT_EQ(run.status, kExitSuccess) << TextToUtf8(c.path);
    EXPECT_EQ(run.output.out.substr(0, run.output.out.find('\n') + 1), c.firstLine) << TextToUtf8(c.path);
  }
}

TEST_F(ListCatalogueFilesTest, CatalogueFileWithoutRecordsIsALibraryWithNoFunctions) {
  files.AddFile(u"C:\\Cat\\[x86] [12.06.2015-21.42.35] none.lib.xml", "<none.lib path=\"C:\\\" x86=\"1\"/>");
  const CliRun run = List({u"C:\\Cat\\[x86] [12.06.2015-21.42.35] none.lib.xml"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.out, "none.lib\tx86\t0\n");
}

TEST_F(ListCatalogueFilesTest, LibraryAndCatalogueFileOfTheSameKeyAreDuplicates) {
  files.AddFile(u"C:\\Cat\\[x86] [12.06.2015-21.42.35] user32.dll.xml", kKernel32Xml);
  files.AddFile(u"C:\\Lib\\kernel32.a", testing::GnuLibrary({"Beep"}));
  const CliRun run = List({u"C:\\Lib\\user32.lib", u"C:\\Cat\\[x86] [12.06.2015-21.42.35] user32.dll.xml",
                           kKernel32Path, u"C:\\Lib\\kernel32.a"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.err,
            "korvane-cli: skipped C:\\Cat\\[x86] [12.06.2015-21.42.35] user32.dll.xml: duplicate library name "
            "'user32', already read from C:\\Lib\\user32.lib\n"
            "korvane-cli: skipped C:\\Lib\\kernel32.a: duplicate library name 'kernel32', already read from "
            "C:\\Cat\\[x64] [12.06.2015-21.42.35] kernel32.lib.xml\n");
  EXPECT_EQ(run.output.out.find("user32.dll"), std::string::npos);
}

TEST_F(ListCatalogueFilesTest, NamesTheReasonAFileIsNeitherKind) {
  struct Case {
    Text path;
    std::string bytes;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {u"C:\\Cat\\[x86] [t] notes.lib.xml", "just some notes\n", "not an archive or catalogue file"},
      {u"C:\\Cat\\[x86] [t] cut.lib.xml", "<?xml version=\"1.0\"?>\n<cut.lib path=\"C:\\\"><element>",
       "not an archive or catalogue file (malformed XML)"},
      {u"C:\\Cat\\[x86] [t] bom.lib.xml", "\xEF\xBB\xBF  <a></b>", "not an archive or catalogue file (malformed XML)"},
      {u"C:\\Lib\\thin.lib", "!<thin>\n", "not an archive or catalogue file"},
      {u"C:\\Cat\\[x86] [t] bomb.lib.xml", "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>",
       "not an archive or catalogue file (entity declarations are not accepted)"},
      {u"C:\\Cat\\user32.xml", std::string(kKernel32Xml),
       "catalogue file whose name carries no library name (expected a name like "
       "\"[x86] [12.06.2015-21.42.35] user32.lib.xml\")"},
      {u"C:\\Cat\\[x86] [t] .xml", std::string(kKernel32Xml), "catalogue file whose name carries no library name"},
      {u"C:\\Lib\\empty.lib", "", "empty"},
      {u"C:\\Lib\\one.lib", testing::ArchiveWriter().Member("a.o/", "xx").BuildString(), "no function names ("},
  };
  for (const Case& c : cases) {
    files.AddFile(c.path, c.bytes);
    const CliRun run = List({c.path});
    EXPECT_EQ(run.status, kExitFailure) << TextToUtf8(c.path);
    EXPECT_EQ(run.output.err.rfind("korvane-cli: skipped " + TextToUtf8(c.path) + ": " + c.reason, 0), 0u)
        << run.output.err;
    EXPECT_EQ(run.output.out, "") << TextToUtf8(c.path);
  }
}

// Every command takes the library from the catalogue file's name, whatever the root element says; a
// record without a function name is left out and reported; a library named by a relative path is
// stored with its absolute folder, so its catalogue file names it from any working folder.
TEST_F(ListCatalogueFilesTest, OneLibraryNameNoNamelessRecordsAbsoluteFolders) {
  const Text mismatched = u"C:\\Cat\\[x64] [t] mylib.lib.XML";
  files.AddFile(mismatched,
                "<OTHER.lib path=\"C:\\L\\\" x86=\"0\"><element><Function></Function></element>"
                "<element><Return>int</Return></element><element><Function>Kept</Function></element></OTHER.lib>");
  files.AddFile(u"rel\\user32.lib", testing::MicrosoftLibrary({"_GetDC@4"}));
  files.AddFolder(u"C:\\Out");
  const CliRun listed = List({mismatched});
  EXPECT_EQ(listed.output.out, "mylib.lib\tx64\t1\n\tKept\t\n");
  EXPECT_EQ(listed.output.err, "korvane-cli: warning: " + TextToUtf8(mismatched) +
                                   ": 2 records without a function name left out\n");

  const CliRun written = Cli({u"catalogue", u"--out", u"C:\\Out", mismatched, u"rel\\user32.lib"});
  EXPECT_EQ(written.status, kExitSuccess);
  const Text mylibXml = u"C:\\Out\\[x64] [12.07.2026-20.02.34] mylib.lib.xml";
  const Text user32Xml = u"C:\\Out\\[x86] [12.07.2026-20.02.34] user32.lib.xml";
  EXPECT_EQ(written.output.out, TextToUtf8(mylibXml) + "\n" + TextToUtf8(user32Xml) + "\n");
  EXPECT_EQ(files.Contents(mylibXml).find("<OTHER.lib"), std::string::npos);
  EXPECT_NE(files.Contents(mylibXml).find("<mylib.lib path=\"C:\\L\\\""), std::string::npos);
  EXPECT_NE(files.Contents(user32Xml).find("<user32.lib path=\"C:\\Work\\rel\\\""), std::string::npos);
}

}  // namespace
}  // namespace korvane
