#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"

namespace korvane {
namespace {

// Windows-1252 bytes in, UTF-8 JSON out: key order fixed, carriage return escaped, siblings in code-unit
// order ("\xC9" sorts after "z"), a page without a table of contents reported as such, an unreadable
// file named on stderr while the others still print, usage errors apart.
TEST(ParsePageCommand, PrintsOneObjectPerFileInArgumentOrder) {
  MemoryFileSystem files;
  FixedClock clock;
  files.AddFile(u"C:\\p\\beep.htm",
                "<DIV class=\"toclevel1\">Functions</DIV>"
                "<div class=\"codeSnippetContainerCode\">BOOL WINAPI Beep(int a);</div>"
                "<div class=\"clsServerSDKContent\"><DIV><DIV><P>[Old.]</P><P>Caf\xC3\xA9 \xE9.</P></DIV></DIV><h2>"
                "<DIV class=\"toclevel2\"><a href=\"https://h/z.aspx\">\xC9" "cho</a></DIV>"
                "<DIV class=\"toclevel2\"><a href=\"https://h/b.aspx\">Beep (Windows)</a></DIV>");
  files.AddFile(u"C:\\p\\plain.htm", "no contents");
  CliOutput output;
  const int status = RunCli({u"parse-page", u"--function", u"Beep", u"--library", u"kernel32", u"C:\\p\\plain.htm",
                             u"C:\\p\\gone.htm", u"C:\\p\\beep.htm"},
                            files, clock, output);
  EXPECT_EQ(status, kExitFailure);
  EXPECT_EQ(output.out,
            "{\"file\":\"C:\\\\p\\\\plain.htm\",\"reference\":false}\n"
            "{\"file\":\"C:\\\\p\\\\beep.htm\",\"reference\":true,\"Parameters\":\"int a\",\"Return\":\"BOOL\","
            "\"Description\":\"Caf\xC3\xA9 \xC3\xA9. Note: Old.\\r\",\"Group\":\"Kernel32 Functions\","
            "\"siblings\":{\"beep\":\"https://h/b.aspx\",\"\xC3\xA9" "cho\":\"https://h/z.aspx\"}}\n");
  EXPECT_NE(output.err.find("gone.htm"), std::string::npos);

  for (const std::vector<Text>& args : std::vector<std::vector<Text>>{
           {u"parse-page", u"--library", u"k", u"C:\\p\\beep.htm"},
           {u"parse-page", u"--function", u"F", u"--library", u"k"},
           {u"parse-page", u"--function", u"F", u"--function", u"G", u"--library", u"k", u"C:\\p\\beep.htm"}}) {
    CliOutput usage;
    EXPECT_EQ(RunCli(args, files, clock, usage), kExitUsage);
    EXPECT_TRUE(usage.out.empty());
  }
}

}  // namespace
}  // namespace korvane
