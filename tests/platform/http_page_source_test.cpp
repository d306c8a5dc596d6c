// The HTTP page source against the local server: libcurl natively, WinHTTP under Wine.
#include "platform/http_page_source.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "platform/local_http_server.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvane {
namespace {

using namespace std::chrono_literals;

// Collects what a source posts, from its worker thread.
class Posted {
 public:
  PageLoadHandler Sink() {
    return [this](const PageLoad& load) {
      const std::lock_guard lock(mutex_);
      events_.push_back(load);
      arrived_.notify_all();
    };
  }
  std::optional<PageLoad> Next(std::chrono::milliseconds wait = 15s) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, wait, [this] { return !events_.empty(); })) return std::nullopt;
    PageLoad load = events_.front();
    events_.pop_front();
    return load;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<PageLoad> events_;
};

// Serves the pages of the tests and counts the requests that reached it.
class TestServer {
 public:
  TestServer() {
    server_ = LocalHttpServer::Start([this](const std::string& target) { return Reply(target); });
  }
  Text Address(const std::string& target) const { return Utf8ToText(server_->Address(target)); }
  // Waits for a request for `target` that no earlier call has taken.
  bool WaitForRequest(const std::string& target) {
    std::unique_lock lock(mutex_);
    if (!seen_.wait_for(lock, 15s, [&] { return requests_.count(target) != 0; })) return false;
    requests_.erase(requests_.find(target));
    return true;
  }
  LocalHttpServer* server() { return server_.get(); }

 private:
  HttpReply Reply(const std::string& target) {
    {
      const std::lock_guard lock(mutex_);
      requests_.insert(target);
    }
    seen_.notify_all();
    if (target == "/page") return {200, "A\x80\x9F\xC3\xA9<p>", {}, false};
    if (target == "/moved") return {302, {}, {{"Location", "/page"}}, false};
    if (target == "/broken") return {500, "oops", {}, false};
    if (target == "/hang") return {200, {}, {}, true};
    return {404, {}, {}, false};
  }

  std::mutex mutex_;
  std::condition_variable seen_;
  std::multiset<std::string> requests_;
  std::unique_ptr<LocalHttpServer> server_;
};

// An address on a port that nobody listens on: one a server had and gave back.
Text ClosedPortAddress() {
  const auto server = LocalHttpServer::Start([](const std::string&) { return HttpReply{}; });
  return Utf8ToText(server->Address("/page"));
}

bool AnsiIsWindows1252() {
#ifdef _WIN32
  return GetACP() == 1252;
#else
  return true;
#endif
}

TEST(HttpPageSource, LoadsAndFailsWithShortReasons) {
  TestServer server;
  ASSERT_NE(server.server(), nullptr);
  struct Case {
    const char* name;
    Text address;
    bool failed;
    Text reason, text;
  } cases[] = {
      // Bytes 0x80-0x9F and a UTF-8 sequence decode one byte to one character, as the browser's page text.
      {"page", server.Address("/page"), false, u"", u"A\u20AC\u0178\u00C3\u00A9<p>"},
      {"redirect", server.Address("/moved"), false, u"", u"A\u20AC\u0178\u00C3\u00A9<p>"},
      {"server error", server.Address("/broken"), true, u"HTTP 500", u""},
      {"no answer", server.Address("/hang"), true, u"time-out", u""},
      {"closed port", ClosedPortAddress(), true, u"connection refused", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Posted posted;
    const auto source = MakeHttpPageSource(posted.Sink(), 1s);
    source->Navigate(c.address);
    EXPECT_TRUE(source->Busy());
    const std::optional<PageLoad> end = posted.Next();
    ASSERT_TRUE(end.has_value());
    EXPECT_FALSE(source->Busy());
    EXPECT_EQ(*end, (PageLoad{c.address, c.failed, c.reason}));
    if (!c.failed && !AnsiIsWindows1252()) continue;  // another code page decodes otherwise
    EXPECT_EQ(source->PageText(), c.text);
  }
}

TEST(HttpPageSource, ANewNavigationSupersedesTheRunningOne) {
  TestServer server;
  Posted posted;
  const auto source = MakeHttpPageSource(posted.Sink(), 1s);
  source->Navigate(server.Address("/hang"));
  ASSERT_TRUE(server.WaitForRequest("/hang"));
  source->Navigate(server.Address("/page"));
  const std::optional<PageLoad> end = posted.Next();
  ASSERT_TRUE(end.has_value());
  EXPECT_EQ(*end, (PageLoad{server.Address("/page"), false, {}}));
  // The hanging load would have timed out by now; its end must not be reported.
  EXPECT_FALSE(posted.Next(1500ms).has_value());
  EXPECT_FALSE(source->Busy());
}

TEST(HttpPageSource, DestroyingItDuringALoadNeitherWaitsNorPosts) {
  TestServer server;
  for (const auto timeout : {1000ms, 30000ms}) {
    SCOPED_TRACE(timeout.count());
    Posted posted;
    auto source = MakeHttpPageSource(posted.Sink(), timeout);
    source->Navigate(server.Address("/hang"));
    ASSERT_TRUE(server.WaitForRequest("/hang"));
    const auto start = std::chrono::steady_clock::now();
    source.reset();
    // Far less than the 30 s time-out: destruction stops the request instead of waiting it out.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_FALSE(posted.Next(1500ms).has_value());
  }
}

}  // namespace
}  // namespace korvane
