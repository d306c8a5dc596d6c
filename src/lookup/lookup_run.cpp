#include "lookup/lookup_run.h"

#include <utility>

namespace korvane {

std::function<void(const Event&)> PageEventQueue::Sink() {
  return [this](const Event& event) {
    const std::lock_guard lock(mutex_);
    events_.push_back(event);
    arrived_.notify_all();
  };
}

std::optional<Event> PageEventQueue::Next(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  if (!arrived_.wait_for(lock, wait, [this] { return !events_.empty(); })) return std::nullopt;
  Event event = std::move(events_.front());
  events_.pop_front();
  return event;
}

std::optional<PageFailure> RunLookupToEnd(LibraryEntry& entry, TextView libraryKey, std::size_t record,
                                          const LookupEndpoints& endpoints, PageSource& source,
                                          PageEventQueue& events, std::chrono::milliseconds patience) {
  const LookupStart start = StartLookup(entry, record, endpoints);
  LookupProgress progress = start.progress;
  Text address = start.address;
  source.Navigate(address);
  source.Attach(record);
  while (progress.state != LookupState::Idle) {
    const std::optional<Event> event = events.Next(patience);
    if (!event) return PageFailure{address, u"no answer"};
    if (event->kind != kEventControl || event->control != kBrowser || source.Busy()) continue;
    LoadedPage page;
    page.failed = event->type == kTypePageFailed;
    page.address = event->address.empty() ? address : event->address;
    page.reason = event->reason;
    if (!page.failed) page.text = source.PageText();
    LookupOutcome out = LookupStep(progress, page, entry, libraryKey, record, true, endpoints);
    if (out.failure) return out.failure;
    if (!out.navigate.empty()) {
      address = std::move(out.navigate);
      source.Navigate(address);
    }
    progress = out.progress;
  }
  return std::nullopt;
}

}  // namespace korvane
