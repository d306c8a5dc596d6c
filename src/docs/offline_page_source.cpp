#include "docs/offline_page_source.h"

#include <utility>

#include "docs/pages.h"

namespace korvane {

OfflinePageSource::OfflinePageSource(std::shared_ptr<const DocumentationSet> set,
                                     PageLoadHandler onLoad)
    : set_(std::move(set)), onLoad_(std::move(onLoad)) {}

void OfflinePageSource::Navigate(const Text& address) {
  if (address.empty()) return;
  std::optional<Text> page;
  if (set_) page = AnswerAddress(*set_, address);
  page_ = page ? std::move(*page) : NotFoundPage();
  if (onLoad_) onLoad_(PageLoad{address, false, {}});
}

bool OfflinePageSource::Busy() { return false; }

Text OfflinePageSource::PageText() { return page_; }

}  // namespace korvane
