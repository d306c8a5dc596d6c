#pragma once
// Running lookups without an event loop: navigate, wait for the page source to report the end of the
// load, step, until the machine is idle again; and a whole batch that way. The command line runs its
// batch like this; the window drives the same machine and the same walk from its event loop instead.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "lookup/batch_walk.h"
#include "lookup/lookup_machine.h"
#include "platform/page_source.h"

namespace korvane {

// The end of a load as the lookup machine reads it: the source's page text when the page loaded.
LoadedPage ReadLoadedPage(const PageLoad& load, PageSource& source);

// Collects the loads a page source ends, on whatever thread it ends them, for one reader. Create it
// before the source and destroy it after: the source holds its handler.
class PageLoadQueue {
 public:
  PageLoadHandler Handler();
  void Push(const PageLoad& load);
  // The oldest load not yet taken; nothing when none arrives within `wait` (0: only what is there).
  std::optional<PageLoad> Next(std::chrono::milliseconds wait);

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<PageLoad> loads_;
};

// How long a lookup waits for one page before it gives up with the reason "no answer". A source that
// bounds its own loads (HTTP) reports a time-out well before this.
inline constexpr std::chrono::milliseconds kPageLoadPatience{60000};

// Runs the lookup of entry.functions[record] (entry being the library whose key is `libraryKey`) to its
// end over `source`, as a batch runs it: the detail editor and the selection are left alone, and the
// row effects are not needed (the records themselves change). Returns why the lookup stopped early when
// a page did not load; the record is then as the machine left it.
std::optional<PageFailure> RunLookupToEnd(LibraryEntry& entry, TextView libraryKey, std::size_t record,
                                          const LookupEndpoints& endpoints, PageSource& source,
                                          PageLoadQueue& loads,
                                          std::chrono::milliseconds patience = kPageLoadPatience);

struct BatchResult {
  int lookedUp = 0;                    // lookups started
  std::optional<PageFailure> failure;  // the page that stopped the batch
  Text failedFunction;                 // the function whose lookup it stopped
  Text failedKey;                      // that function's library key
};

// The batch over the libraries `keys` in the given order, all of them taken as ticked, walked as the
// window walks it, each lookup run to its end over `source`. A page that does not load stops the batch
// there. `progress` (may be empty) hears where the batch stands before each lookup and once at the end.
BatchResult RunLookupBatch(Catalogue& catalogue, std::vector<Text> keys, const LookupEndpoints& endpoints,
                           bool skipFilled, PageSource& source, PageLoadQueue& loads,
                           const std::function<void(const BatchProgress&)>& progress);

}  // namespace korvane
