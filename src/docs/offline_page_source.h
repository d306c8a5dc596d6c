#pragma once
// The page source that answers from the offline documentation set: pages are rendered in process, so
// every load ends inside Navigate, and the end is reported through the event queue like any other
// source's.

#include <cstdint>
#include <functional>
#include <memory>

#include "docs/documentation_set.h"
#include "platform/events.h"
#include "platform/page_source.h"

namespace korvane {

class OfflinePageSource final : public PageSource {
 public:
  // `queueEvent` receives the end of every load (the program passes Gui::QueueEvent). The set is shared
  // so that a source can outlive the code that loaded it.
  OfflinePageSource(std::shared_ptr<const DocumentationSet> set, std::function<void(const Event&)> queueEvent);

  // Renders the page for `address` (AnswerAddress; the page without results for an address the set
  // cannot answer) and queues {kEventControl, kMainWindow, kBrowser, kTypePageLoaded, address}.
  void Navigate(const Text& address) override;
  bool Busy() override;  // always false: a load ends before Navigate returns
  Text PageText() override;
  void Attach(std::uintptr_t reference) override;
  std::uintptr_t Attached() override;

 private:
  std::shared_ptr<const DocumentationSet> set_;
  std::function<void(const Event&)> queueEvent_;
  Text page_;
  std::uintptr_t attached_ = 0;
};

}  // namespace korvane
