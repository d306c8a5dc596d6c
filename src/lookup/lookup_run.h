#pragma once
// Running a lookup to its end without an event loop: navigate, wait for the page source's event, step,
// until the machine is idle again. The command line runs its batch this way; the window drives the same
// machine from its event loop instead.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "lookup/lookup_machine.h"
#include "platform/events.h"
#include "platform/page_source.h"

namespace korvane {

// Collects the events a page source posts from its worker thread, for a caller that waits on them.
// Create it before the source and destroy it after: the source holds its sink.
class PageEventQueue {
 public:
  std::function<void(const Event&)> Sink();
  // The oldest event not yet taken; nothing when none arrives within `wait`.
  std::optional<Event> Next(std::chrono::milliseconds wait);

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Event> events_;
};

// How long a lookup waits for one page event before it gives up with the reason "no answer". A source
// that bounds its own loads (HTTP) reports a time-out well before this.
inline constexpr std::chrono::milliseconds kPageEventPatience{60000};

// Runs the lookup of entry.functions[record] (entry being the library whose key is `libraryKey`) to its
// end over `source`, as a batch runs it: the detail editor and the selection are left alone, and the
// row effects are not needed (the records themselves change). Events of other controls, and events that
// arrive while the source is still busy, are passed over as the window's loop passes them over.
// Returns why the lookup stopped early when a page did not load; the record is then as the machine left it.
std::optional<PageFailure> RunLookupToEnd(LibraryEntry& entry, TextView libraryKey, std::size_t record,
                                          const LookupEndpoints& endpoints, PageSource& source,
                                          PageEventQueue& events,
                                          std::chrono::milliseconds patience = kPageEventPatience);

}  // namespace korvane
