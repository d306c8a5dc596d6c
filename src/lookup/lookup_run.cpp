#include "lookup/lookup_run.h"

#include <utility>

namespace korvane {

LoadedPage ReadLoadedPage(const PageLoad& load, PageSource& source) {
  LoadedPage page;
  page.failed = load.failed;
  page.address = load.address;
  page.reason = load.reason;
  if (!load.failed) page.text = source.PageText();
  return page;
}

PageLoadHandler PageLoadQueue::Handler() {
  return [this](const PageLoad& load) { Push(load); };
}

void PageLoadQueue::Push(const PageLoad& load) {
  const std::lock_guard lock(mutex_);
  loads_.push_back(load);
  arrived_.notify_all();
}

std::optional<PageLoad> PageLoadQueue::Next(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  if (!arrived_.wait_for(lock, wait, [this] { return !loads_.empty(); })) return std::nullopt;
  PageLoad load = std::move(loads_.front());
  loads_.pop_front();
  return load;
}

std::optional<PageFailure> RunLookupToEnd(LibraryEntry& entry, TextView libraryKey, std::size_t record,
                                          const LookupEndpoints& endpoints, PageSource& source,
                                          PageLoadQueue& loads, std::chrono::milliseconds patience) {
  const LookupStart start = StartLookup(entry, record, endpoints);
  LookupProgress progress = start.progress;
  Text address = start.address;
  source.Navigate(address);
  while (progress.state != LookupState::Idle) {
    const std::optional<PageLoad> load = loads.Next(patience);
    if (!load) return PageFailure{address, u"no answer"};
    LookupOutcome out =
        LookupStep(progress, ReadLoadedPage(*load, source), entry, libraryKey, record, true, endpoints);
    if (out.failure) return out.failure;
    if (!out.navigate.empty()) {
      address = std::move(out.navigate);
      source.Navigate(address);
    }
    progress = out.progress;
  }
  return std::nullopt;
}

BatchResult RunLookupBatch(Catalogue& catalogue, std::vector<Text> keys, const LookupEndpoints& endpoints,
                           bool skipFilled, PageSource& source, PageLoadQueue& loads,
                           const std::function<void(const BatchProgress&)>& progress) {
  BatchWalk walk(catalogue, std::move(keys), skipFilled);
  BatchResult result;
  while (!result.failure) {
    const std::optional<std::size_t> library = walk.NextLibrary();
    if (!library) break;
    const Text& key = walk.Key(*library);
    LibraryEntry& entry = *catalogue.Find(key);
    while (const std::optional<std::size_t> record = walk.NextRecord()) {
      if (progress) progress(walk.Progress());
      ++result.lookedUp;
      result.failure = RunLookupToEnd(entry, key, *record, endpoints, source, loads);
      if (result.failure) {
        result.failedFunction = entry.functions[*record].Function;
        result.failedKey = key;
        break;
      }
      walk.Done();
    }
  }
  BatchProgress last = walk.Progress();
  last.current.clear();
  if (progress) progress(last);
  return result;
}

}  // namespace korvane
