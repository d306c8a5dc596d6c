#pragma once
// The page source that answers from the offline documentation set: pages are rendered in process, so
// every load ends inside Navigate, and its end is reported from there.

#include <memory>

#include "docs/documentation_set.h"
#include "platform/page_source.h"

namespace korvane {

class OfflinePageSource final : public PageSource {
 public:
  // `onLoad` receives the end of every load. The set is shared so that a source can outlive the code
  // that loaded it.
  OfflinePageSource(std::shared_ptr<const DocumentationSet> set, PageLoadHandler onLoad);

  // Renders the page for `address` (AnswerAddress; the page without results for an address the set
  // cannot answer) and reports the load as ended.
  void Navigate(const Text& address) override;
  bool Busy() override;  // always false: a load ends before Navigate returns
  Text PageText() override;

 private:
  std::shared_ptr<const DocumentationSet> set_;
  PageLoadHandler onLoad_;
  Text page_;
};

}  // namespace korvane
