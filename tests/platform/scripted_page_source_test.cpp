// The scripted page source that the lookup's headless tests drive.
#include "platform/headless/scripted_page_source.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ScriptedPageSource, EndsLoadsOnlyWhenToldAndPostsAsScripted) {
  std::vector<Event> posted;
  ScriptedPageSource source([&](const Event& event) { posted.push_back(event); });
  source.SetPage(u"http://a/", u"page a");
  source.SetFailure(u"http://b/", u"time-out");

  source.Navigate(u"");  // does nothing
  EXPECT_FALSE(source.Busy());
  source.Navigate(u"http://b/");
  source.Navigate(u"http://a/");  // supersedes b: b's end is never posted
  EXPECT_TRUE(source.Busy());
  EXPECT_TRUE(posted.empty());
  ASSERT_TRUE(source.Deliver(3));
  EXPECT_FALSE(source.Busy());
  EXPECT_EQ(source.PageText(), u"page a");
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0].type, kTypePageLoaded);
  EXPECT_EQ(posted[0].address, u"http://a/");
  EXPECT_EQ(posted[2].type, kTypePageNotification);
  EXPECT_FALSE(source.Deliver());  // nothing running

  struct Case {
    Text address, reason;
  } failures[] = {{u"http://b/", u"time-out"}, {u"http://unknown/", u"HTTP 404"}};
  for (const Case& c : failures) {
    posted.clear();
    source.Navigate(c.address);
    ASSERT_TRUE(source.Deliver());
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].type, kTypePageFailed);
    EXPECT_EQ(posted[0].reason, c.reason);
    EXPECT_EQ(source.PageText(), u"");
  }

  // A load whose end is noticed only by a later event.
  posted.clear();
  source.Navigate(u"http://a/");
  ASSERT_TRUE(source.Deliver(0));
  EXPECT_TRUE(posted.empty());
  EXPECT_FALSE(source.Busy());
  source.Notify();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].type, kTypePageNotification);
  EXPECT_EQ(posted[0].address, u"http://a/");
  EXPECT_EQ(source.Navigations(),
            (std::vector<Text>{u"http://b/", u"http://a/", u"http://b/", u"http://unknown/", u"http://a/"}));
}

}  // namespace
}  // namespace korvane
