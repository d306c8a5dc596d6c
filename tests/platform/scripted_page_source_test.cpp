// The scripted page source that the lookup's headless tests drive.
#include "platform/headless/scripted_page_source.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ScriptedPageSource, EndsLoadsOnlyWhenToldAndReportsAsScripted) {
  std::vector<PageLoad> ends;
  ScriptedPageSource source([&](const PageLoad& load) { ends.push_back(load); });
  source.SetPage(u"http://a/", u"page a");
  source.SetFailure(u"http://b/", u"time-out");

  source.Navigate(u"");  // does nothing
  EXPECT_FALSE(source.Busy());
  source.Navigate(u"http://b/");
  source.Navigate(u"http://a/");  // supersedes b: b's end is never reported
  EXPECT_TRUE(source.Busy());
  EXPECT_TRUE(ends.empty());
  ASSERT_TRUE(source.Deliver());
  EXPECT_FALSE(source.Busy());
  EXPECT_EQ(source.PageText(), u"page a");
  EXPECT_EQ(ends, (std::vector<PageLoad>{{u"http://a/", false, u""}}));
  EXPECT_FALSE(source.Deliver());  // nothing running

  struct Case {
    Text address, reason;
  } failures[] = {{u"http://b/", u"time-out"}, {u"http://unknown/", u"HTTP 404"}};
  for (const Case& c : failures) {
    ends.clear();
    source.Navigate(c.address);
    ASSERT_TRUE(source.Deliver());
    EXPECT_EQ(ends, (std::vector<PageLoad>{{c.address, true, c.reason}}));
    EXPECT_EQ(source.PageText(), u"");
  }
  EXPECT_EQ(source.Navigations(), (std::vector<Text>{u"http://b/", u"http://a/", u"http://b/", u"http://unknown/"}));
}

}  // namespace
}  // namespace korvane
