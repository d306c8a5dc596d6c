#include <gtest/gtest.h>

#include <vector>

#include "docs/offline_page_source.h"
#include "docs/pages.h"

namespace korvane {
namespace {

TEST(OfflinePageSourceTest, AnswersInProcessAndReportsEachLoad) {
  auto set = std::make_shared<DocumentationSet>();
  set->groups.push_back(DocGroup{u"System Services", {{u"Sleep", u"void", {u"_In_ DWORD dwMilliseconds"}, "Suspends.", u"synchapi.h", u"Kernel32"}}});
  IndexDocumentationSet(*set);
  std::vector<PageLoad> queued;
  OfflinePageSource source(set, [&](const PageLoad& load) { queued.push_back(load); });

  const struct {
    Text address;
    bool found;  // the page names Sleep
  } kLoads[] = {
      {u"https://s/search/en-us?query=%22Sleep%20function%20%28Windows%29%22&refinement=117", true},
      {u"https://d/en-us/library/Sleep.aspx", true},
      {u"https://d/en-us/library/Nope.aspx", false},
      {u"about:blank", false},  // not an address of the set: the page without results
  };
  for (const auto& load : kLoads) {
    queued.clear();
    source.Navigate(load.address);
    EXPECT_FALSE(source.Busy());
    ASSERT_EQ(queued.size(), 1u) << TextToUtf8(load.address);
    EXPECT_EQ(queued[0], (PageLoad{load.address, false, {}}));
    const Text page = source.PageText();
    EXPECT_EQ(page.find(u"Sleep") != Text::npos, load.found) << TextToUtf8(load.address);
    if (!load.found) {
      EXPECT_EQ(page, NotFoundPage());
    }
  }

  // An empty address does nothing: no report, the last page stays.
  queued.clear();
  source.Navigate(u"");
  EXPECT_TRUE(queued.empty());
  EXPECT_EQ(source.PageText(), NotFoundPage());
}

}  // namespace
}  // namespace korvane
