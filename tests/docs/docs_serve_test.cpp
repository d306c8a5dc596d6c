// `docs serve`'s server, fetched with the program's own HTTP page source and read by the real lookup.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "cli/docs_server.h"
#include "docs/served_pages.h"
#include "helpers/cli_test.h"
#include "lookup/lookup_machine.h"
#include "platform/http_page_source.h"
#include "text/text_ops.h"

namespace korvane {
namespace {

using namespace std::chrono_literals;

// The end of each load, posted from the source's worker thread.
class Loads {
 public:
  PageLoadHandler Sink() {
    return [this](const PageLoad& load) {
      const std::lock_guard lock(mutex_);
      events_.push_back(load);
      arrived_.notify_all();
    };
  }
  bool Next() {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, 15s, [this] { return !events_.empty(); })) return false;
    const bool loaded = !events_.front().failed;
    events_.pop_front();
    return loaded;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<PageLoad> events_;
};

TEST(DocsServeTest, TheLookupReadsServedPagesInWindows1252) {
  auto set = std::make_shared<DocumentationSet>();
  set->groups.push_back(DocGroup{u"Dialog Boxes",
                                 {{u"MessageBoxW", u"int", {u"_In_opt_ HWND hWnd", u"_In_ UINT uType"},
                                   "Shows a box \u00e9 \u2265 \U0001F600.", u"winuser.h", u"User32"}}});
  IndexDocumentationSet(*set);
  const auto server = StartDocsServer(set, 0);
  ASSERT_NE(server, nullptr);
  const Text base = Utf8ToText(server->Address(""));
  Loads loads;
  const auto source = MakeHttpPageSource(loads.Sink(), 15s);

  LibraryEntry entry{{ApiFunction{u"MessageBoxW", {}, {}, {}, {}, {}, {}, 1}}, u"user32.lib", 0};
  const LookupEndpoints endpoints{base, base};
  const LookupStart start = StartLookup(entry, 0, endpoints);
  source->Navigate(start.address);
  LookupProgress progress = start.progress;
  std::vector<Text> pages;
  while (progress.state != LookupState::Idle && pages.size() < 4) {
    ASSERT_TRUE(loads.Next());
    pages.push_back(source->PageText());
    const LookupOutcome outcome =
        LookupStep(progress, LoadedPage{false, pages.back(), {}, {}}, entry, u"user32", 0, true, endpoints);
    if (!outcome.navigate.empty()) source->Navigate(outcome.navigate);
    progress = outcome.progress;
  }
  ASSERT_EQ(pages.size(), 2u);  // the search page, then the reference page
  // Links lead back to the server; what Windows-1252 lacks arrives as a numeric reference.
  EXPECT_NE(Find(pages[0], u"href=\"" + base + u"/en-us/library/MessageBoxW.aspx\""), 0u);
  EXPECT_NE(Find(pages[1], u"<DIV class=\"toclevel1\">Dialog Boxes</DIV>"), 0u);
  const ApiFunction& record = entry.functions[0];
  EXPECT_EQ(record.Return, u"INT");
  EXPECT_EQ(record.Parameters, u"_In_opt_ HWND hWnd, _In_ UINT uType");
  EXPECT_EQ(record.Description, u"Shows a box \u00e9 &#8805; &#128512;.");
  EXPECT_EQ(record.Group, u"Dialog Boxes");

  // A request that is no page of the set is refused.
  source->Navigate(base + u"/donate");
  EXPECT_FALSE(loads.Next());
}

// The links of a page are built from the address asked for: whatever that holds stays inside the link.
TEST(DocsServeTest, ARequestTargetCannotAddMarkupToAPage) {
  DocumentationSet set;
  set.groups.push_back(DocGroup{u"Sound", {{u"Beep", u"BOOL", {}, "Beeps.", u"utilapiset.h", u"Kernel32"}}});
  IndexDocumentationSet(set);
  const ServedPage page =
      ServePage(set, u"http://127.0.0.1:8080", "/x\"><script>alert(1)</script> \x01/search/en-us?query=%22Beep%20function%22");
  ASSERT_EQ(page.status, 200);
  EXPECT_EQ(page.body.find("<script>"), std::string::npos) << page.body;
  EXPECT_EQ(page.body.find("/x\""), std::string::npos) << page.body;
  EXPECT_NE(page.body.find("href=\"http://127.0.0.1:8080/x%22%3E%3Cscript%3Ealert(1)%3C/script%3E%20%01/en-us/library/Beep.aspx\""),
            std::string::npos)
      << page.body;
  // A well-formed address is taken as it is.
  const ServedPage plain = ServePage(set, u"http://127.0.0.1:8080", "/search/en-us?query=%22Beep%20function%22&refinement=117");
  EXPECT_NE(plain.body.find("href=\"http://127.0.0.1:8080/en-us/library/Beep.aspx\""), std::string::npos) << plain.body;
}

// The port's value is read as given, whatever it looks like, and only once.
TEST(DocsServeTest, APortThatIsNoNumberOrComesTwiceIsAUsageError) {
  const struct {
    std::vector<Text> args;
    std::string error;
  } kCases[] = {
      {{u"--port", u"-1", u"set.docs"}, "docs serve: '-1' is no port number"},
      {{u"--port", u"65536", u"set.docs"}, "docs serve: '65536' is no port number"},
      {{u"--port", u"", u"set.docs"}, "docs serve: '' is no port number"},
      {{u"--port", u"1", u"--port", u"2", u"set.docs"}, "docs serve takes one --port"},
      {{u"set.docs", u"--port"}, "option '--port' needs a value"},
  };
  for (const auto& c : kCases) {
    MemoryFileSystem files;
    FixedClock clock;
    std::vector<Text> args{u"docs", u"serve"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const testing::CliRun run = testing::RunCliWith(args, files, clock);
    EXPECT_EQ(run.status, kExitUsage) << c.error;
    EXPECT_EQ(run.output.err, "korvane-cli: " + c.error + "\nTry 'korvane-cli --help'.\n");
  }
}

#ifndef _WIN32
// Clients that connect and send nothing (each would hold a one-at-a-time server for its whole request
// time) do not hold up a client that asks at once.
TEST(DocsServeTest, IdleClientsDoNotStallABusyOne) {
  auto set = std::make_shared<DocumentationSet>();
  set->groups.push_back(DocGroup{u"Sound", {{u"Beep", u"BOOL", {u"_In_ DWORD dwFreq"}, "Beeps.", u"utilapiset.h", u"Kernel32"}}});
  IndexDocumentationSet(*set);
  const auto server = StartDocsServer(set, 0);
  ASSERT_NE(server, nullptr);
  std::vector<int> idle;
  for (int i = 0; i < 3; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(server->Port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    idle.push_back(fd);
  }
  Loads loads;
  const auto source = MakeHttpPageSource(loads.Sink(), 15s);
  const auto start = std::chrono::steady_clock::now();
  source->Navigate(Utf8ToText(server->Address("/en-us/library/Beep.aspx")));
  ASSERT_TRUE(loads.Next());
  // One idle client alone would have held a one-at-a-time server for five seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_NE(Find(source->PageText(), u"Beeps."), 0u);
  for (const int fd : idle) ::close(fd);
}
#endif

}  // namespace
}  // namespace korvane
