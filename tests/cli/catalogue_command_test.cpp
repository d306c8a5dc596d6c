#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue_xml.h"
#include "helpers/archive_writer.h"
#include "helpers/cli_test.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

constexpr char16_t kUser32[] = u"C:\\Lib\\user32.lib";
constexpr char16_t kGdi32[] = u"C:\\Lib\\gdi32.lib";
constexpr char16_t kOut[] = u"C:\\Out";
// The names written at the fixed clock's time.
constexpr char16_t kUser32Xml[] = u"C:\\Out\\[x86] [12.06.2015-21.42.35] user32.lib.xml";
constexpr char16_t kGdi32Xml[] = u"C:\\Out\\[x86] [12.06.2015-21.42.35] gdi32.lib.xml";

std::string Element(std::string_view function, std::string_view description, int checked) {
  return "<element><Function>" + std::string(function) + "</Function><Parameters>HDC hdc</Parameters>" +
         "<Return>int</Return><Description>" + std::string(description) + "</Description><Group>Painting</Group>" +
         "<Website>https://example.org/" + std::string(function) + "</Website><checked>" + std::to_string(checked) +
         "</checked></element>\n";
}

std::string CatalogueXml(std::string_view root, const std::string& elements) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + std::string(root) + " path=\"C:\\Old\\\" x86=\"1\">\n" +
         elements + "</" + std::string(root) + ">\n";
}

ApiFunction Record(std::string_view function, std::string_view ansiUni = {}) {
  ApiFunction record;
  record.Function = T(function);
  record.AnsiUni = T(ansiUni);
  record.checked = 1;
  return record;
}

// The merged facts of Element(function, description, checked), as a record.
ApiFunction Merged(std::string_view function, std::string_view description, int checked) {
  ApiFunction record = Record(function);
  record.Parameters = u"HDC hdc";
  record.Return = u"int";
  record.Description = T(description);
  record.Group = u"Painting";
  record.Website = T("https://example.org/" + std::string(function));
  record.checked = checked;
  return record;
}

using testing::CliRun;

class CatalogueCommandTest : public testing::CliTest {
 protected:
  CatalogueCommandTest() {
    clock.Set({2015, 12, 6, 21, 42, 35});
    files.AddFile(kUser32, testing::MicrosoftLibrary({"_MessageBoxW@16", "_MessageBoxA@16", "_GetDC@4"}));
    files.AddFile(kGdi32, testing::MicrosoftLibrary({"_GetDC@4", "_BitBlt@36"}));
    files.AddFolder(kOut);
  }

  // `catalogue --out C:\Out` followed by `rest`.
  CliRun Catalogue(const std::vector<Text>& rest) {
    std::vector<Text> args = {u"catalogue", u"--out", kOut};
    args.insert(args.end(), rest.begin(), rest.end());
    return Cli(args);
  }

  static LibraryEntry User32(std::vector<ApiFunction> functions) {
    return {std::move(functions), kUser32, 1};
  }
};

TEST_F(CatalogueCommandTest, WritesOneCatalogueFilePerLibraryInLoadOrder) {
  files.AddFile(u"C:\\Cat\\[x64] [01.02.2014-03.04.05] kernel32.lib.xml",
                "<kernel32.lib path=\"D:\\SDK\\\" x86=\"0\"><element><Function>Sleep</Function>"
                "<Parameters>void</Parameters><checked>0</checked></element></kernel32.lib>");
  const CliRun run = Catalogue({kUser32, u"C:\\Cat\\[x64] [01.02.2014-03.04.05] kernel32.lib.xml"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.out,
            "C:\\Out\\[x86] [12.06.2015-21.42.35] user32.lib.xml\n"
            "C:\\Out\\[x64] [12.06.2015-21.42.35] kernel32.lib.xml\n");
  EXPECT_EQ(run.output.err, "");
  // A library comes out with all functions ticked, as loading makes it.
  EXPECT_EQ(files.Contents(kUser32Xml),
            WriteCatalogueDocument(User32({Record("GetDC"), Record("MessageBox", "MessageBox"),
                                           Record("MessageBoxA", "MessageBox"), Record("MessageBoxW", "MessageBox")})));
  // A catalogue file comes out as loaded: its own folder, its records and their ticks, "void" cleared.
  ApiFunction sleep = Record("Sleep");
  sleep.checked = 0;
  EXPECT_EQ(files.Contents(u"C:\\Out\\[x64] [12.06.2015-21.42.35] kernel32.lib.xml"),
            WriteCatalogueDocument(LibraryEntry{{sleep}, u"D:\\SDK\\kernel32.lib", 0}));
}

TEST_F(CatalogueCommandTest, EachFileTakesTheTimeOfItsOwnWriting) {
  class SteppingClock final : public Clock {
   public:
    LocalTime Now() override { return {2015, 12, 6, 21, 42, second_++}; }
    std::int64_t MonotonicMilliseconds() override { return 0; }
    void SleepMilliseconds(int) override {}

   private:
    int second_ = 58;
  };
  SteppingClock stepping;
  const CliRun run = testing::RunCliWith({u"catalogue", u"--out", kOut, kUser32, kGdi32}, files, stepping);
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.out,
            "C:\\Out\\[x86] [12.06.2015-21.42.58] user32.lib.xml\n"
            "C:\\Out\\[x86] [12.06.2015-21.42.59] gdi32.lib.xml\n");
}

TEST_F(CatalogueCommandTest, PutsTheFileNamesBehindTheFolderWithItsOwnSeparator) {
  struct Case {
    Text folder;
    std::string written;
  };
  const std::vector<Case> cases = {
      {u"C:\\Out", "C:\\Out\\[x86] [12.06.2015-21.42.35] user32.lib.xml\n"},
      {u"C:\\Out\\", "C:\\Out\\[x86] [12.06.2015-21.42.35] user32.lib.xml\n"},
      {u"/tmp/out", "/tmp/out/[x86] [12.06.2015-21.42.35] user32.lib.xml\n"},
      {u"/tmp/out/", "/tmp/out/[x86] [12.06.2015-21.42.35] user32.lib.xml\n"},
      // No separator of its own: the system's, so the printed path is the path of the file on disk.
      {u"out", "out" + std::string(1, static_cast<char>(kSystemSeparator)) + "[x86] [12.06.2015-21.42.35] user32.lib.xml\n"},
  };
  for (const Case& c : cases) {
    files.AddFolder(c.folder);
    const CliRun run = Cli({u"catalogue", u"--out", c.folder, kUser32});
    EXPECT_EQ(run.status, kExitSuccess) << TextToUtf8(c.folder);
    EXPECT_EQ(run.output.out, c.written);
    EXPECT_FALSE(files.Contents(T(c.written.substr(0, c.written.size() - 1))).empty()) << c.written;
  }
}

TEST_F(CatalogueCommandTest, MergeCopiesAllFactsOfFunctionsOfExactlyTheSameName) {
  const Text merge = u"C:\\Cat\\[x86] [01.01.2015-00.00.00] user32.lib.xml";
  // 'getdc' comes last: were names compared without letter case, its facts would win.
  files.AddFile(merge, CatalogueXml("user32.lib", Element("GetDC", "Gets a device context.", 0) +
                                                      Element("Unknown", "Not in any library.", 1) +
                                                      Element("getdc", "Wrong case.", 1)));
  const CliRun run = Catalogue({u"--merge", merge, kUser32, kGdi32});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.err, "");
  const ApiFunction getDC = Merged("GetDC", "Gets a device context.", 0);
  EXPECT_EQ(files.Contents(kUser32Xml),
            WriteCatalogueDocument(User32({getDC, Record("MessageBox", "MessageBox"),
                                           Record("MessageBoxA", "MessageBox"), Record("MessageBoxW", "MessageBox")})));
  // The merge file is named after user32.lib, yet gdi32's GetDC takes the facts as well.
  EXPECT_EQ(files.Contents(kGdi32Xml), WriteCatalogueDocument(LibraryEntry{{Record("BitBlt"), getDC}, kGdi32, 1}));
}

TEST_F(CatalogueCommandTest, UnusableMergeFilesAreReportedAndTheOthersStillMerge) {
  const Text good = u"C:\\Cat\\[x86] [01.01.2015-00.00.00] gdi32.lib.xml";
  files.AddFile(good, CatalogueXml("gdi32.lib", Element("BitBlt", "Copies pixels.", 1)));
  files.AddFile(u"C:\\Cat\\bad.xml", "<gdi32.lib><element>");
  files.AddFile(u"C:\\Cat\\empty.xml", "");
  files.AddFile(u"C:\\Cat\\text.xml", "\xEF\xBB\xBF \r\nBitBlt copies pixels");
  files.AddUnreadable(u"C:\\Cat\\locked.xml");
  const CliRun run = Catalogue({u"--merge", u"C:\\Cat\\bad.xml", u"--merge", u"C:\\Cat\\text.xml", u"--merge",
                                u"C:\\Cat\\gone.xml", u"--merge", good, u"--merge", u"C:\\Cat\\empty.xml", u"--merge",
                                u"C:\\Cat\\locked.xml", kGdi32});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.err,
            "korvane-cli: skipped merge file C:\\Cat\\bad.xml: not a catalogue file (malformed XML)\n"
            "korvane-cli: skipped merge file C:\\Cat\\text.xml: not a catalogue file (not XML)\n"
            "korvane-cli: skipped merge file C:\\Cat\\gone.xml: missing\n"
            "korvane-cli: skipped merge file C:\\Cat\\empty.xml: empty\n"
            "korvane-cli: skipped merge file C:\\Cat\\locked.xml: cannot be read\n");
  EXPECT_EQ(files.Contents(kGdi32Xml),
            WriteCatalogueDocument(LibraryEntry{{Merged("BitBlt", "Copies pixels.", 1), Record("GetDC")}, kGdi32, 1}));
}

TEST_F(CatalogueCommandTest, ALaterMergeFileForTheSameLibraryReplacesTheEarlierOne) {
  const Text older = u"C:\\Cat\\[x86] [01.01.2015-00.00.00] gdi32.lib.xml";
  const Text newer = u"C:\\Cat\\[x86] [02.01.2015-00.00.00] gdi32.lib.xml";
  files.AddFile(older, CatalogueXml("gdi32.lib", Element("BitBlt", "Old.", 1) + Element("GetDC", "Old.", 1)));
  files.AddFile(newer, CatalogueXml("gdi32.lib", Element("BitBlt", "New.", 1)));
  const CliRun run = Catalogue({u"--merge", older, u"--merge", newer, kGdi32});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.err, "korvane-cli: skipped merge file " + TextToUtf8(older) +
                                ": replaced by the later merge file " + TextToUtf8(newer) +
                                " (the same library name 'gdi32.lib')\n");
  EXPECT_EQ(files.Contents(kGdi32Xml),
            WriteCatalogueDocument(LibraryEntry{{Merged("BitBlt", "New.", 1), Record("GetDC")}, kGdi32, 1}));
}

TEST_F(CatalogueCommandTest, AFailedWriteIsReportedAndTheOtherFilesAreStillWritten) {
  files.FailWritesTo(kUser32Xml);
  const CliRun run = Catalogue({kUser32, kGdi32});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.out, TextToUtf8(kGdi32Xml) + "\n");
  EXPECT_EQ(run.output.err, "korvane-cli: could not write " + TextToUtf8(kUser32Xml) + " for C:\\Lib\\user32.lib\n");
  EXPECT_EQ(files.Contents(kUser32Xml), "");
}

TEST_F(CatalogueCommandTest, NeverWritesTwoLibrariesUnderOneName) {
  // Different keys, one file name: a second user32 whose name differs only in letter case, which
  // Windows would write over the first. A catalogue file whose root names user32.lib is the library its
  // own file name carries, other.lib, as it is for the key: no clash.
  files.AddFile(u"C:\\Cat\\[x86] [t] other.lib.xml", CatalogueXml("user32.lib", ""));
  files.AddFile(u"D:\\Lib\\USER32.lib", testing::MicrosoftLibrary({"_Beep@8"}));
  const CliRun run = Catalogue({kUser32, u"C:\\Cat\\[x86] [t] other.lib.xml", u"D:\\Lib\\USER32.lib"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.out, TextToUtf8(kUser32Xml) + "\nC:\\Out\\[x86] [12.06.2015-21.42.35] other.lib.xml\n");
  EXPECT_EQ(run.output.err,
                "korvane-cli: not written C:\\Out\\[x86] [12.06.2015-21.42.35] USER32.lib.xml for D:\\Lib\\USER32.lib: "
                "the file for C:\\Lib\\user32.lib was already written under that name\n");
  EXPECT_EQ(files.Contents(kUser32Xml).find("Beep"), std::string::npos);
}

TEST_F(CatalogueCommandTest, FailsWhenNothingIsWritten) {
  files.FailWritesTo(kUser32Xml);
  files.AddFile(u"C:\\Lib\\notes.lib", "notes");
  struct Case {
    std::vector<Text> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{u"catalogue", u"--out", u"C:\\Missing", kUser32},
       "korvane-cli: output folder C:\\Missing does not exist\n"},
      {{u"catalogue", u"--out", kUser32, kUser32},
       "korvane-cli: output folder C:\\Lib\\user32.lib is a file, not a folder\n"},
      {{u"catalogue", u"--out", kOut, u"C:\\Lib\\notes.lib", u"C:\\Lib\\gone.lib"},
       "korvane-cli: skipped C:\\Lib\\notes.lib: not an archive or catalogue file\n"
       "korvane-cli: skipped C:\\Lib\\gone.lib: missing\n"},
      {{u"catalogue", u"--out", kOut, kUser32},
       "korvane-cli: could not write " + TextToUtf8(kUser32Xml) + " for C:\\Lib\\user32.lib\n"},
  };
  for (const Case& c : cases) {
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.status, kExitFailure) << c.err;
    EXPECT_EQ(run.output.err, c.err);
    EXPECT_EQ(run.output.out, "");
  }
  // The missing folder is not made, and no library is read for it.
  EXPECT_FALSE(files.FolderExists(u"C:\\Missing"));
}

TEST_F(CatalogueCommandTest, UsageErrors) {
  struct Case {
    std::vector<Text> args;
    const char* error;
  };
  const std::vector<Case> cases = {
      {{u"catalogue", kUser32}, "catalogue needs --out DIR"},
      {{u"catalogue", u"--merge", u"m.xml", kUser32}, "catalogue needs --out DIR"},
      {{u"catalogue", kUser32, u"--out"}, "option '--out' needs a value"},
      {{u"catalogue", u"--out", u"--merge", u"m.xml", kUser32}, "option '--out' needs a value"},
      {{u"catalogue", u"--out", u"", kUser32}, "option '--out' needs a value"},
      {{u"catalogue", u"--out", kOut, kUser32, u"--merge"}, "option '--merge' needs a value"},
      {{u"catalogue", u"--out", kOut, u"--out", u"D:\\Out", kUser32}, "catalogue takes one --out"},
      {{u"catalogue", u"--out=C:\\Out", kUser32}, "unknown option '--out=C:\\Out'"},
      {{u"catalogue", u"--out", kOut, u"-v", kUser32}, "unknown option '-v'"},
      {{u"catalogue", u"--out", kOut}, "catalogue needs at least one FILE"},
      {{u"catalogue", u"--out", kOut, u"--", u"--out"}, nullptr},  // "--out" is then a file, and missing
  };
  for (const Case& c : cases) {
    const CliRun run = Cli(c.args);
    const std::string label = TextToUtf8(c.args.back());
    if (c.error == nullptr) {
      EXPECT_EQ(run.status, kExitFailure) << label;
      EXPECT_EQ(run.output.err, "korvane-cli: skipped --out: missing\n");
      continue;
    }
    EXPECT_EQ(run.status, kExitUsage) << label;
    EXPECT_EQ(run.output.err, "korvane-cli: " + std::string(c.error) + "\nTry 'korvane-cli --help'.\n") << label;
    EXPECT_EQ(run.output.out, "") << label;
  }
  EXPECT_TRUE(files.Contents(kUser32Xml).empty()) << "a usage error writes nothing";
}

TEST_F(CatalogueCommandTest, HelpDescribesTheCommand) {
  const CliRun general = Cli({u"--help"});
  EXPECT_EQ(general.status, kExitSuccess);
  EXPECT_EQ(general.output.out.rfind("Usage: korvane-cli list", 0), 0u);
  EXPECT_NE(general.output.out.find("korvane-cli catalogue --out DIR [--merge XMLFILE]..."), std::string::npos);
  for (const std::vector<Text>& args :
       std::vector<std::vector<Text>>{{u"catalogue", u"--help"}, {u"catalogue", u"--out", kOut, u"-h"}}) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.output.out.rfind("Usage: korvane-cli catalogue --out DIR [--merge XMLFILE]...", 0), 0u);
  }
}

TEST_F(CatalogueCommandTest, AWrittenFileListsLikeTheLibraryItWasWrittenFrom) {
  ASSERT_EQ(Catalogue({kUser32}).status, kExitSuccess);
  const CliRun fromLibrary = Cli({u"list", kUser32});
  const CliRun fromCatalogue = Cli({u"list", kUser32Xml});
  EXPECT_EQ(fromCatalogue.status, kExitSuccess);
  EXPECT_EQ(fromCatalogue.output.err, "");
  EXPECT_EQ(fromCatalogue.output.out, fromLibrary.output.out);
}

}  // namespace
}  // namespace korvane
