// `korvane-cli lookup` against a documentation server on 127.0.0.1 (libcurl natively, WinHTTP under
// Wine): search result pages and reference pages in the documentation's old markup.
#include "cli/lookup_command.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/catalogue_xml.h"
#include "helpers/archive_writer.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/local_http_server.h"

namespace korvane {
namespace {

constexpr char16_t kSound[] = u"C:\\Lib\\sound.lib";
constexpr char16_t kKernel[] = u"C:\\Cat\\[x86] [01.02.2014-03.04.05] kernel32.lib.xml";
constexpr char16_t kOut[] = u"C:\\Out";
constexpr char16_t kSoundXml[] = u"C:\\Out\\[x86] [12.06.2015-21.42.35] sound.lib.xml";
constexpr char16_t kKernelXml[] = u"C:\\Out\\[x86] [12.06.2015-21.42.35] kernel32.lib.xml";

// The pages of the documentation by request target. Searches name the function between "%22" and the
// first "%20"; a function without a reference page finds nothing, whatever the query.
const std::map<std::string, std::string> kReferencePages = {
    {"beep",
     "<html><DIV class=\"toclevel1\">Sound Functions</DIV>"
     "<DIV class=\"toclevel2\"><a href=\"http://docs.example/en-us/library/beep.aspx\">Beep (Windows)</a></DIV>"
     "<div class=\"codeSnippetContainerCode\"><PRE>BOOL WINAPI Beep(\r\n  _In_&nbsp;DWORD dwFreq,\r\n"
     "  _In_ DWORD dwDuration\r\n);</PRE></div>"
     "<div class=\"clsServerSDKContent\"><P>Generates simple tones.</P></div><h2>Syntax</h2></html>"},
    {"playfoo",
     "<html><DIV class=\"toclevel1\">Functions</DIV>"
     "<div class=\"codeSnippetContainerCode\"><PRE>int WINAPI PlayFoo(\r\n  _In_ LPCTSTR pszName\r\n);</PRE></div>"
     "<div class=\"clsServerSDKContent\"><P>Plays foo.</P></div><h2>Syntax</h2></html>"},
    {"sleep",
     "<html><DIV class=\"toclevel1\">Synchronization Functions</DIV>"
     "<div class=\"codeSnippetContainerCode\"><PRE>VOID WINAPI Sleep(\r\n  _In_ DWORD dwMilliseconds\r\n);</PRE></div>"
     "<div class=\"clsServerSDKContent\"><P>Suspends.</P></div><h2>Syntax</h2></html>"},
};

std::string SearchPage(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (kReferencePages.count(lower) == 0) return "<html><body><B>0 results</B></body></html>";
  return "<html><body><a class=\"resultTitleLink\" href=\"https://docs.example/en-us/library/" + lower +
         ".aspx\"><b>" + name + " function</b></a><div><B>" + name + " function (Windows)</B></div></body></html>";
}

class DocumentationServer {
 public:
  // `failing`: a target answered with status 500.
  explicit DocumentationServer(std::string failing = {}) : failing_(std::move(failing)) {
    server_ = LocalHttpServer::Start([this](const std::string& target) { return Reply(target); });
  }
  Text Base() const { return Utf8ToText(server_->Address("")); }
  std::vector<std::string> Requests() {
    const std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  HttpReply Reply(const std::string& target) {
    {
      const std::lock_guard lock(mutex_);
      requests_.push_back(target);
    }
    if (target == failing_) return {500, "broken", {}, false};
    const std::string library = "/en-us/library/";
    if (target.starts_with(library) && target.ends_with(".aspx")) {
      const auto page = kReferencePages.find(target.substr(library.size(), target.size() - library.size() - 5));
      if (page != kReferencePages.end()) return {200, page->second, {}, false};
      return {404, "none", {}, false};
    }
    const std::size_t name = target.find("query=%22");
    if (name == std::string::npos) return {404, "none", {}, false};
    const std::size_t start = name + 9;
    return {200, SearchPage(target.substr(start, target.find("%20", start) - start)), {}, false};
  }

  std::string failing_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::unique_ptr<LocalHttpServer> server_;
};

const std::string kBeepSearch = "/search/en-us?query=%22Beep%20function%20%28Windows%29%22&refinement=117";
const std::string kPlayFooSearch = "/search/en-us?query=%22PlayFoo%20function%20%28Windows%29%22&refinement=117";
const std::vector<std::string> kMissingSearches = {
    "/search/en-us?query=%22Missing%20function%20%28Windows%29%22&refinement=117",
    "/search/en-us?query=%22Missing%20macro%22&refinement=117",
    "/search/en-us?query=%22Missing%20function%22&refinement=117"};

ApiFunction Record(std::string_view function, std::string_view ansiUni, std::string_view parameters,
                   std::string_view returns, std::string_view description, std::string_view group,
                   std::string_view website, int checked) {
  return {T(function), T(parameters), T(returns), T(description), T(group), T(website), T(ansiUni), checked};
}

std::vector<ApiFunction> Written(const MemoryFileSystem& files, const Text& path) {
  const std::string bytes = files.Contents(path);
  const auto document = ReadCatalogueDocument(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  return document ? document->records : std::vector<ApiFunction>{};
}

class LookupCommandTest : public ::testing::Test {
 protected:
  LookupCommandTest() {
    files.AddFile(kSound, testing::MicrosoftLibrary({"_Beep@8", "_PlayFooA@4", "_PlayFooW@4", "_Missing@0"}));
    files.AddFolder(kOut);
  }

  // A catalogue file whose Sleep has a return type and its address on `base`, and whose Hidden is unticked.
  void AddKernel32(const Text& base) {
    files.AddFile(kKernel, "<kernel32.lib path=\"C:\\Cat\\\" x86=\"1\">"
                           "<element><Function>Hidden</Function><checked>0</checked></element>"
                           "<element><Function>Sleep</Function><Return>VOID</Return><Website>" +
                               TextToUtf8(base) + "/en-us/library/sleep.aspx</Website><checked>1</checked></element>"
                               "</kernel32.lib>");
  }

  int Lookup(const Text& base, std::vector<Text> rest) {
    std::vector<Text> args = {u"lookup", u"--search-base", base, u"--library-base", base, u"--out", kOut};
    args.insert(args.end(), rest.begin(), rest.end());
    return RunCli(args, files, clock, output);
  }

  MemoryFileSystem files;
  FixedClock clock{LocalTime{2015, 12, 6, 21, 42, 35}};
  CliOutput output;
};

// The same batch with and without the skip option: the requests in order (one function after the
// other, libraries in load order) and the records written.
TEST_F(LookupCommandTest, LooksUpEveryCheckedFunctionAndWritesTheCatalogue) {
  struct Case {
    bool skip;
    std::vector<std::string> extraRequests;  // after the sound library's requests
  };
  const Case cases[] = {
      // The pair was filled by its generic name's lookup and Sleep has a return type: all skipped.
      {true, {}},
      // Looked up again, straight at their known addresses: no search.
      {false, {"/en-us/library/playfoo.aspx", "/en-us/library/playfoo.aspx", "/en-us/library/sleep.aspx"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.skip ? "skip" : "no skip");
    DocumentationServer server;
    const Text base = server.Base();
    const std::string web = TextToUtf8(base);
    AddKernel32(base);
    output = {};
    std::string live;
    output.live = [&live](std::string_view text) { live += text; };
    std::vector<Text> rest = {kSound, kKernel};
    if (!c.skip) rest.insert(rest.begin(), u"--no-skip");
    EXPECT_EQ(Lookup(base, rest), kExitSuccess);
    EXPECT_EQ(output.err, "");
    EXPECT_EQ(output.out, TextToUtf8(kSoundXml) + "\n" + TextToUtf8(kKernelXml) + "\n");

    std::vector<std::string> expected = {kBeepSearch, "/en-us/library/beep.aspx"};
    expected.insert(expected.end(), kMissingSearches.begin(), kMissingSearches.end());
    expected.insert(expected.end(), {kPlayFooSearch, "/en-us/library/playfoo.aspx"});
    expected.insert(expected.end(), c.extraRequests.begin(), c.extraRequests.end());
    EXPECT_EQ(server.Requests(), expected);

    const std::string playFoo = web + "/en-us/library/playfoo.aspx";
    const std::vector<ApiFunction> sound = {
        // Its table of contents lists it: the address comes from there.
        Record("Beep", "", "_In_ DWORD dwFreq, _In_ DWORD dwDuration", "BOOL", "Generates simple tones.",
               "Sound Functions", "http://docs.example/en-us/library/beep.aspx", 1),
        Record("Missing", "", "", "", "", "", "", 0),
        // A group of just "Functions" takes the library's name; the A/W pair gets the generic facts.
        Record("PlayFoo", "PlayFoo", "_In_ LPCTSTR pszName", "INT", "Plays foo.", "Sound Functions", playFoo, 1),
        Record("PlayFooA", "PlayFoo", "_In_ LPCTSTR pszName", "INT", "Plays foo.", "Sound Functions", playFoo, 1),
        Record("PlayFooW", "PlayFoo", "_In_ LPCTSTR pszName", "INT", "Plays foo.", "Sound Functions", playFoo, 1),
    };
    EXPECT_EQ(files.Contents(kSoundXml), WriteCatalogueDocument(LibraryEntry{sound, kSound, 1}));
    const std::string sleepAddress = web + "/en-us/library/sleep.aspx";
    const ApiFunction sleep =
        c.skip ? Record("Sleep", "", "", "VOID", "", "", sleepAddress, 1)
               : Record("Sleep", "", "_In_ DWORD dwMilliseconds", "VOID", "Suspends.", "Synchronization Functions",
                        sleepAddress, 1);
    EXPECT_EQ(files.Contents(kKernelXml),
              WriteCatalogueDocument(LibraryEntry{{Record("Hidden", "", "", "", "", "", "", 0), sleep},
                                                  u"C:\\Cat\\kernel32.lib", 1}));

    // The terminal's display counts the functions to look up at the start and ends on its own line.
    const std::string total = c.skip ? "/5" : "/6";
    EXPECT_NE(live.find("\r[....................] 0" + total + " Beep  00:00:00 elapsed, --:--:-- left"),
              std::string::npos) << live;
    EXPECT_NE(live.find("] " + total.substr(1) + total + "  00:00:00 elapsed, 00:00:00 left"), std::string::npos)
        << live;
    EXPECT_TRUE(live.ends_with("\n"));
  }
}

// A page that does not load stops the batch at once; what was looked up before it is still written.
TEST_F(LookupCommandTest, APageThatDoesNotLoadStopsTheBatch) {
  struct Case {
    const char* name;
    std::string failing;  // the target the server fails; empty for a closed port
    std::vector<std::string> requests;
    std::string stopped;  // the end of the stderr line, after the base address
    bool beepFilled;
  };
  const Case cases[] = {
      {"status 500", "/en-us/library/playfoo.aspx",
       {kBeepSearch, "/en-us/library/beep.aspx", kMissingSearches[0], kMissingSearches[1], kMissingSearches[2],
        kPlayFooSearch, "/en-us/library/playfoo.aspx"},
       "lookup of PlayFoo (C:\\Lib\\sound.lib) stopped: @/en-us/library/playfoo.aspx: HTTP 500\n", true},
      {"closed port", "", {}, "lookup of Beep (C:\\Lib\\sound.lib) stopped: @" + kBeepSearch + ": connection refused\n",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    files = MemoryFileSystem();
    files.AddFile(kSound, testing::MicrosoftLibrary({"_Beep@8", "_PlayFooA@4", "_PlayFooW@4", "_Missing@0"}));
    files.AddFolder(kOut);
    output = {};
    auto server = std::make_unique<DocumentationServer>(c.failing);
    const Text base = server->Base();
    if (c.failing.empty()) server.reset();
    std::string stopped = c.stopped;
    stopped.replace(stopped.find('@'), 1, TextToUtf8(base));
    EXPECT_EQ(Lookup(base, {kSound}), kExitFailure);
    EXPECT_EQ(output.err, "korvane-cli: " + stopped);
    EXPECT_EQ(output.out, TextToUtf8(kSoundXml) + "\n");
    if (server) {
      EXPECT_EQ(server->Requests(), c.requests);
    }
    const std::vector<ApiFunction> written = Written(files, kSoundXml);
    ASSERT_EQ(written.size(), 5u);
    EXPECT_EQ(written[0].Return, c.beepFilled ? u"BOOL" : u"");
    // The function whose page failed keeps its tick and gains nothing.
    EXPECT_EQ(written[2].Return, u"");
    EXPECT_EQ(written[2].checked, 1);
  }
}

TEST_F(LookupCommandTest, UsageErrors) {
  const Text base = u"http://127.0.0.1:9";
  const std::vector<std::vector<Text>> cases = {
      {u"lookup", u"--library-base", base, u"--out", kOut, kSound},
      {u"lookup", u"--search-base", base, u"--out", kOut, kSound},
      {u"lookup", u"--search-base", base, u"--library-base", base, kSound},
      {u"lookup", u"--search-base", base, u"--library-base", base, u"--out", kOut},
      {u"lookup", u"--search-base", base, u"--library-base", base, u"--out", kOut, u"--out", kOut, kSound},
      {u"lookup", u"--search-base", u"127.0.0.1:9", u"--library-base", base, u"--out", kOut, kSound},
      {u"lookup", u"--search-base", u"http://", u"--library-base", base, u"--out", kOut, kSound},
      {u"lookup", u"--skip", u"--search-base", base, u"--library-base", base, u"--out", kOut, kSound},
      {u"lookup", u"--docs", u"C:\\K.docs", u"--search-base", base, u"--out", kOut, kSound},
      {u"lookup", u"--docs", u"C:\\K.docs", kSound},
  };
  for (const auto& args : cases) {
    CliOutput out;
    EXPECT_EQ(RunCli(args, files, clock, out), kExitUsage) << TextToUtf8(args[1]);
    EXPECT_TRUE(out.err.starts_with("korvane-cli: ")) << out.err;
    EXPECT_EQ(out.out, "");
  }
}

// With --docs the pages come from a documentation set, in process: the same lookup, no network. An
// A/W pair is found under its generic name, a function the set lacks ends unticked, and a file that is
// not a set stops the command before anything is written.
TEST_F(LookupCommandTest, TheDocumentationSetAnswersWithoutANetwork) {
  files.AddFile(u"C:\\K.docs",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<korvane-docs version=\"1\">"
                "<group title=\"Sound\"><function name=\"Beep\" return=\"BOOL\" header=\"utilapiset.h\">"
                "<param>_In_ DWORD dwFreq</param><param>_In_ DWORD dwDuration</param>"
                "<description>Generates simple tones.</description></function>"
                "<function name=\"PlayFooW\" return=\"int\" header=\"foo.h\"><param>_In_ LPCWSTR pszName</param>"
                "</function></group></korvane-docs>");
  files.AddFile(u"C:\\Bad.docs", "<catalogue/>");
  ASSERT_EQ(RunCli({u"lookup", u"--docs", u"C:\\K.docs", u"--out", kOut, kSound}, files, clock, output), kExitSuccess)
      << output.err;
  const std::vector<ApiFunction> records = Written(files, kSoundXml);
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].Function, u"Beep");
  EXPECT_EQ(records[0].Parameters, u"_In_ DWORD dwFreq, _In_ DWORD dwDuration");
  EXPECT_EQ(records[0].Return, u"BOOL");
  EXPECT_EQ(records[0].Description, u"Generates simple tones.");
  EXPECT_EQ(records[0].Group, u"Sound");
  EXPECT_EQ(records[0].checked, 1);
  EXPECT_EQ(records[1].Function, u"Missing");
  EXPECT_EQ(records[1].checked, 0);
  for (std::size_t i = 2; i < 5; ++i) {
    EXPECT_EQ(records[i].AnsiUni, u"PlayFoo");
    EXPECT_EQ(records[i].Parameters, u"_In_ LPCWSTR pszName") << TextToUtf8(records[i].Function);
    EXPECT_EQ(records[i].Return, u"INT") << TextToUtf8(records[i].Function);
  }

  CliOutput bad;
  EXPECT_EQ(RunCli({u"lookup", u"--docs", u"C:\\Bad.docs", u"--out", kOut, kSound}, files, clock, bad), kExitFailure);
  EXPECT_NE(bad.err.find("not a documentation set"), std::string::npos) << bad.err;
  EXPECT_EQ(bad.out, "");
}

// An ANSI/wide pair whose forms take different parameters keeps each form's own prototype: the pair's
// page shows both, each record reads its own, and neither spreads to the other.
TEST_F(LookupCommandTest, APairWhoseFormsDifferKeepsEachFormsPrototype) {
  files.AddFile(u"C:\\K.docs",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<korvane-docs version=\"1\"><group title=\"Strings\">"
                "<function name=\"GetStringTypeA\" return=\"BOOL\" header=\"winnls.h\"><param>LCID Locale</param>"
                "<param>DWORD dwInfoType</param><param>LPCSTR lpSrcStr</param><param>int cchSrc</param>"
                "<param>LPWORD lpCharType</param></function>"
                "<function name=\"GetStringTypeW\" return=\"BOOL\" header=\"stringapiset.h\"><param>DWORD dwInfoType</param>"
                "<param>LPCWCH lpSrcStr</param><param>int cchSrc</param><param>LPWORD lpCharType</param></function>"
                "</group></korvane-docs>");
  files.AddFile(u"C:\\Lib\\kernel.lib", testing::MicrosoftLibrary({"_GetStringTypeA@20", "_GetStringTypeW@16"}));
  ASSERT_EQ(RunCli({u"lookup", u"--docs", u"C:\\K.docs", u"--out", kOut, u"C:\\Lib\\kernel.lib"}, files, clock, output),
            kExitSuccess)
      << output.err;
  const std::vector<ApiFunction> records = Written(files, u"C:\\Out\\[x86] [12.06.2015-21.42.35] kernel.lib.xml");
  std::map<Text, Text> parameters;
  for (const ApiFunction& record : records) parameters[record.Function] = record.Parameters;
  EXPECT_EQ(parameters[u"GetStringTypeA"], u"LCID Locale, DWORD dwInfoType, LPCSTR lpSrcStr, int cchSrc, LPWORD lpCharType");
  EXPECT_EQ(parameters[u"GetStringTypeW"], u"DWORD dwInfoType, LPCWCH lpSrcStr, int cchSrc, LPWORD lpCharType");
  // The generic entry stands for the wide form.
  EXPECT_EQ(parameters[u"GetStringType"], u"DWORD dwInfoType, LPCWCH lpSrcStr, int cchSrc, LPWORD lpCharType");
}

TEST(LookupProgressLine, FitsTheTerminalWidth) {
  struct Case {
    Text current;
    std::size_t columns;
    std::string line;
  };
  const Case cases[] = {
      {u"GetWindowTextW", 0, "[##########..........] 1/2 GetWindowTextW  00:00:01 elapsed, 00:00:01 left"},
      {u"GetWindowTextW", 80, "[##########..........] 1/2 GetWindowTextW  00:00:01 elapsed, 00:00:01 left"},
      {u"GetWindowTextW", 71, "[##########..........] 1/2 GetWindow~  00:00:01 elapsed, 00:00:01 left"},
      {u"Caf\u00E9Caf\u00E9", 62, "[##########..........] 1/2 ~  00:00:01 elapsed, 00:00:01 left"},
      {u"GetWindowTextW", 21, "[##########........."},
      {u"", 21, "[##########........."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitProgressLine({1, 2, c.current}, 1000, c.columns), c.line) << c.columns;
  }
}

TEST(LookupProgressLine, TimeLeftFollowsThePaceSoFar) {
  const struct {
    int done, total;
    const char16_t* current;
    std::int64_t elapsed;
    const char* line;
  } cases[] = {
      {0, 4, u"Beep", 900, "[....................] 0/4 Beep  00:00:00 elapsed, --:--:-- left"},
      {1, 4, u"PlayFoo", 5000, "[#####...............] 1/4 PlayFoo  00:00:05 elapsed, 00:00:15 left"},
      {4, 4, u"", 3723000, "[####################] 4/4  01:02:03 elapsed, 00:00:00 left"},
      {0, 0, u"", 0, "[####################] 0/0  00:00:00 elapsed, 00:00:00 left"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressLine({c.done, c.total, c.current}, c.elapsed), c.line);
}

}  // namespace
}  // namespace korvane
