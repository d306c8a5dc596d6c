#include "docs/offline_page_source.h"

#include <utility>

#include "docs/pages.h"

namespace korvane {

OfflinePageSource::OfflinePageSource(std::shared_ptr<const DocumentationSet> set,
                                     std::function<void(const Event&)> queueEvent)
    : set_(std::move(set)), queueEvent_(std::move(queueEvent)) {}

void OfflinePageSource::Navigate(const Text& address) {
  if (address.empty()) return;
  std::optional<Text> page;
  if (set_) page = AnswerAddress(*set_, address);
  page_ = page ? std::move(*page) : NotFoundPage();
  if (!queueEvent_) return;
  Event loaded;
  loaded.kind = kEventControl;
  loaded.window = kMainWindow;
  loaded.control = kBrowser;
  loaded.type = kTypePageLoaded;
  loaded.address = address;
  queueEvent_(loaded);
}

bool OfflinePageSource::Busy() { return false; }

Text OfflinePageSource::PageText() { return page_; }

void OfflinePageSource::Attach(std::uintptr_t reference) { attached_ = reference; }

std::uintptr_t OfflinePageSource::Attached() { return attached_; }

}  // namespace korvane
