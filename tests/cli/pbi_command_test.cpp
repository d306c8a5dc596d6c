#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "docs/c_types.h"
#include "docs/docs_file.h"
#include "helpers/archive_writer.h"
#include "helpers/cli_test.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

constexpr char16_t kLibrary[] = u"C:\\Lib\\user32.lib";
constexpr char16_t kCatalogue[] = u"C:\\Cat\\[x86] [12.06.2015-21.42.35] user32.lib.xml";
constexpr char16_t kOut[] = u"C:\\Out";

// A catalogue file of C:\Lib\user32.lib whose functions were looked up.
std::string CatalogueXml(const std::string& elements) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<user32.lib path=\"C:\\Lib\\\" x86=\"1\">\n" + elements +
         "</user32.lib>\n";
}

std::string Element(std::string_view function, std::string_view parameters, std::string_view returned) {
  return "<element><Function>" + std::string(function) + "</Function><Parameters>" + std::string(parameters) +
         "</Parameters><Return>" + std::string(returned) +
         "</Return><Description/><Group/><Website/><AnsiUni/><checked>1</checked></element>\n";
}

using testing::CliRun;

class PbiCommandTest : public testing::CliTest {
 protected:
  PbiCommandTest() {
    files.AddFile(kLibrary, testing::MicrosoftLibrary({"_GetWidget@4", "_Plain@0", "_SetValue@4"}));
    files.AddFile(kCatalogue, CatalogueXml(Element("GetWidget", "_In_opt_ HWND hWnd", "HDC") + Element("Plain", "", "BOOL") +
                                           Element("SetValue", "MYTYPE value", "BOOL")));
    files.AddFile(u"C:\\Lib\\notes.lib", "notes");
    files.AddFolder(kOut);
  }
};

TEST_F(PbiCommandTest, WritesOneFilePerLibraryAndPrintsItsPath) {
  const CliRun run = Cli({u"pbi", u"--out", kOut, u"--", kCatalogue});
  EXPECT_EQ(run.status, kExitSuccess) << run.output.err;
  EXPECT_EQ(run.output.out, "C:\\Out\\user32.pbi\n");
  EXPECT_EQ(run.output.err, "");
  EXPECT_EQ(files.Contents(u"C:\\Out\\user32.pbi"),
            "\xEF\xBB\xBF; user32.lib (x86): import declarations written by Korvane\r\n"
            "\r\n"
            "Import \"user32.lib\"\r\n"
            "  GetWidget_.i(hWnd.i) As \"_GetWidget@4\"\r\n"
            "  Plain_.l() As \"_Plain@0\"\r\n"
            "  ; SetValue_: not declared: the type 'MYTYPE' of parameter value cannot be resolved\r\n"
            "EndImport\r\n");
}

// The set the settings name resolves what the built-in table cannot; --docs names one directly.
TEST_F(PbiCommandTest, TypesComeFromTheSetTheSettingsOrTheOptionName) {
  DocumentationSet set;
  set.typedefs = {{u"MYTYPE", TypeFacts{TypeKind::kUnsigned, {4, 4}, {4, 4}, PointeeText::kNone}}};
  files.AddFile(u"C:\\Sets\\my.docs", WriteDocumentationSet(set));
  files.AddFile(u"C:\\Work\\Korvane.ini", "[Lookup]\r\nDocs=C:\\Sets\\my.docs\r\n");
  for (const std::vector<Text>& args : {std::vector<Text>{u"pbi", u"--out", kOut, kCatalogue},
                                        std::vector<Text>{u"pbi", u"--docs", u"C:\\Sets\\my.docs", u"--out", kOut, kCatalogue}}) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, kExitSuccess) << run.output.err;
    EXPECT_NE(files.Contents(u"C:\\Out\\user32.pbi").find("  SetValue_.l(value.l) As \"_SetValue@4\"\r\n"),
              std::string::npos);
  }
}

TEST_F(PbiCommandTest, ADifferentLinkerNameIsReportedAndLeftAsAComment) {
  files.AddFile(kLibrary, testing::MicrosoftLibrary({"_GetWidget@8"}));
  const CliRun run = Cli({u"pbi", u"--out", kOut, kCatalogue});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.output.err,
            "korvane-cli: C:\\Cat\\[x86] [12.06.2015-21.42.35] user32.lib.xml: GetWidget: declared as _GetWidget@4, the library has _GetWidget@8; left as a comment\n");
  EXPECT_NE(files.Contents(u"C:\\Out\\user32.pbi")
                .find("  ; GetWidget_: not declared: the declaration's symbol _GetWidget@4 differs from the library's _GetWidget@8\r\n"),
            std::string::npos);
}

// A library that was not looked up is declared from the set; without a set nothing can be declared,
// which is said, and the run fails.
TEST_F(PbiCommandTest, ARawLibraryIsDeclaredFromTheSetOrReportedAsEmpty) {
  DocumentationSet set;
  DocFunction function;
  function.name = u"GetWidget";
  function.returnType = u"HDC";
  function.parameters = {u"HWND hWnd"};
  set.groups.push_back(DocGroup{u"g", {function}});
  files.AddFile(u"C:\\Sets\\my.docs", WriteDocumentationSet(set));
  CliRun run = Cli({u"pbi", u"--docs", u"C:\\Sets\\my.docs", u"--out", kOut, kLibrary});
  EXPECT_EQ(run.status, kExitSuccess) << run.output.err;
  EXPECT_NE(files.Contents(u"C:\\Out\\user32.pbi").find("  GetWidget_.i(hWnd.i) As \"_GetWidget@4\"\r\n"),
            std::string::npos)
      << files.Contents(u"C:\\Out\\user32.pbi");
  files.RemoveFile(u"C:\\Out\\user32.pbi");
  run = Cli({u"pbi", u"--out", kOut, kLibrary});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.output.err,
            "korvane-cli: not written C:\\Out\\user32.pbi for C:\\Lib\\user32.lib: no function could be declared (none "
            "was looked up and no documentation set was found: give --docs)\n"
            "korvane-cli: no function declared\n");
  EXPECT_FALSE(files.FileExists(u"C:\\Out\\user32.pbi"));
}

// Windows compares file names without letter case: a second library whose file would only differ in
// case is not written over the first.
TEST_F(PbiCommandTest, ASecondFileOfTheSameNameInAnotherCaseIsRefused) {
  files.AddFile(u"C:\\B\\USER32.lib", testing::MicrosoftLibrary({"_Other@0"}));
  const CliRun run = Cli({u"pbi", u"--out", kOut, kCatalogue, u"C:\\B\\USER32.lib"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.output.out, "C:\\Out\\user32.pbi\n");
  EXPECT_EQ(run.output.err, "korvane-cli: not written C:\\Out\\USER32.pbi for C:\\B\\USER32.lib: the file for "
                            "C:\\Cat\\[x86] [12.06.2015-21.42.35] user32.lib.xml was already written under that name\n");
}

// A file that cannot be written is named with what stands in the way.
TEST_F(PbiCommandTest, AFailedWriteSaysWhy) {
  files.AddFolder(u"C:\\Out\\user32.pbi");
  CliRun run = Cli({u"pbi", u"--out", kOut, kCatalogue});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.output.err, "korvane-cli: could not write C:\\Out\\user32.pbi for " + TextToUtf8(kCatalogue) +
                                ": a folder of that name is in the way\n");
}

TEST_F(PbiCommandTest, ExitStatusSaysWhetherEveryFileWasWritten) {
  const struct {
    std::vector<Text> args;
    int status;
    std::string err;  // the first line of stderr
  } kCases[] = {
      {{u"pbi", kCatalogue}, kExitUsage, "korvane-cli: pbi needs --out DIR"},
      {{u"pbi", u"--out", kOut}, kExitUsage, "korvane-cli: pbi needs at least one FILE"},
      {{u"pbi", u"--out", kOut, u"--out", kOut, kCatalogue}, kExitUsage, "korvane-cli: pbi takes one --out"},
      {{u"pbi", u"--out", kOut, u"--force", kCatalogue}, kExitUsage, "korvane-cli: unknown option '--force'"},
      {{u"pbi", u"--out", u"C:\\Missing", kCatalogue}, kExitFailure, "korvane-cli: output folder C:\\Missing does not exist"},
      {{u"pbi", u"--docs", u"C:\\none.docs", u"--out", kOut, kCatalogue}, kExitFailure,
       "korvane-cli: C:\\none.docs: cannot read the documentation set"},
      {{u"pbi", u"--docs", kLibrary, u"--out", kOut, kCatalogue}, kExitFailure,
       "korvane-cli: C:\\Lib\\user32.lib: not a documentation set"},
      {{u"pbi", u"--out", kOut, u"C:\\Lib\\notes.lib"}, kExitFailure,
       "korvane-cli: skipped C:\\Lib\\notes.lib: not an archive or catalogue file"},
      {{u"pbi", u"--out", kOut, u"C:\\Lib\\notes.lib", kCatalogue}, kExitFailure,
       "korvane-cli: skipped C:\\Lib\\notes.lib: not an archive or catalogue file"},
  };
  for (const auto& c : kCases) {
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.status, c.status) << c.err;
    EXPECT_EQ(run.output.err.substr(0, run.output.err.find('\n')), c.err);
  }
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// The set's types follow the Import block, for every function of the library or only the ticked ones,
// or not at all.
TEST_F(PbiCommandTest, TypesOfTheFunctionsFollowUnlessLeftOut) {
  DocumentationSet set;
  set.groups.push_back(DocGroup{u"Things", {DocFunction{u"GetDC", u"HDC", {u"_In_opt_ HWND hWnd"}, {}, u"winuser.h", {}},
                                           DocFunction{u"SetValue", u"BOOL", {u"LPITEM item"}, {}, u"item.h", {}}}});
  IndexDocumentationSet(set);
  set.typedefs = {{u"LPITEM", TypeFacts{TypeKind::kPointer, {4, 4}, {8, 8}, PointeeText::kNone}}};
  CTypes types;
  types.x86.records = {CRecord{u"tagITEM", u"item.h", false, 4, 4, {CField{u"v", u"LONG", CValueKind::kSigned, 0, 4, 0, 0, {}}}}};
  types.x86.constants = {CConstant{u"PAINT_ALL", u"winuser.h", false, false, 4, 3, {}}};
  types.names = {{u"LPITEM", {u"tagITEM", 1, false}}, {u"ITEM", {u"tagITEM", 0, false}}};
  set.cTypes = WriteCTypes(types);
  files.AddFile(u"C:\\Sets\\my.docs", WriteDocumentationSet(set));
  files.AddFile(kCatalogue, CatalogueXml(Element("SetValue", "LPITEM item", "BOOL") +
                                         "<element><Function>GetDC</Function><Parameters/><Return/><Description/>"
                                         "<Group/><Website/><AnsiUni/><checked>0</checked></element>\n"));
  const std::string structure = "  Structure ITEM ; 4 bytes, item.h\r\n";
  const std::string constant = "  #PAINT_ALL = 3\r\n";
  struct Case {
    std::vector<Text> options;
    bool structure;
    bool constant;
  } cases[] = {{{}, true, true}, {{u"--types-of-ticked"}, true, false}, {{u"--no-types"}, false, false}};
  for (const Case& c : cases) {
    std::vector<Text> args = {u"pbi", u"--docs", u"C:\\Sets\\my.docs", u"--out", kOut};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(kCatalogue);
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, kExitSuccess) << run.output.err;
    const std::string written = files.Contents(u"C:\\Out\\user32.pbi");
    EXPECT_EQ(written.find(structure) != std::string::npos, c.structure) << written;
    EXPECT_EQ(written.find(constant) != std::string::npos, c.constant) << written;
  }
  EXPECT_EQ(Cli({u"pbi", u"--no-types", u"--types-of-ticked", u"--out", kOut, kCatalogue}).status, kExitUsage);
}

}  // namespace
}  // namespace korvane
