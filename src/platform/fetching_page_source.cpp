#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/page_fetcher.h"

namespace korvane {

std::string StatusFailure(long status) {
  if (status < 400) return {};
  return "HTTP " + std::to_string(status);
}

namespace {

class FetchingPageSource final : public PageSource {
 public:
  FetchingPageSource(std::unique_ptr<PageFetcher> fetcher, PageDecoder decode,
                     PageLoadHandler onLoad, std::chrono::milliseconds timeout)
      : fetcher_(std::move(fetcher)), decode_(decode), onLoad_(std::move(onLoad)), timeout_(timeout) {
    worker_ = std::thread([this] { Run(); });
  }

  ~FetchingPageSource() override {
    {
      const std::lock_guard lock(mutex_);
      shutdown_ = true;
    }
    wake_.notify_all();
    fetcher_->Wake();
    worker_.join();
  }

  void Navigate(const Text& address) override {
    if (address.empty()) return;
    {
      const std::lock_guard lock(mutex_);
      pending_ = address;
      ++generation_;
      busy_ = true;
    }
    wake_.notify_all();
    fetcher_->Wake();  // a running load is superseded: let it stop early
  }

  bool Busy() override {
    const std::lock_guard lock(mutex_);
    return busy_;
  }

  Text PageText() override {
    const std::lock_guard lock(mutex_);
    return pageText_;
  }

 private:
  bool Superseded(unsigned generation) {
    const std::lock_guard lock(mutex_);
    return shutdown_ || generation_ != generation;
  }

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return shutdown_ || pending_.has_value(); });
      if (shutdown_) return;
      const Text address = *pending_;
      pending_.reset();
      const unsigned generation = generation_;
      lock.unlock();
      const FetchResult result = fetcher_->Fetch(TextToUtf8(address), timeout_,
                                                 [this, generation] { return Superseded(generation); });
      lock.lock();
      // A superseded load ends silently; so does every load once the source is being destroyed.
      if (shutdown_ || generation != generation_) continue;
      Finish(address, result);
    }
  }

  // Runs with the lock held, so the destructor cannot return between the check above and the report.
  void Finish(const Text& address, const FetchResult& result) {
    PageLoad load{address, false, {}};
    if (result.loaded) {
      pageText_ = decode_(std::span(reinterpret_cast<const std::uint8_t*>(result.body.data()), result.body.size()));
    } else {
      pageText_.clear();
      load.failed = true;
      load.reason = Utf8ToText(result.reason);
    }
    busy_ = false;
    onLoad_(load);
  }

  std::unique_ptr<PageFetcher> fetcher_;
  PageDecoder decode_;
  PageLoadHandler onLoad_;
  std::chrono::milliseconds timeout_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Text> pending_;
  unsigned generation_ = 0;
  bool shutdown_ = false;
  bool busy_ = false;
  Text pageText_;
  std::thread worker_;  // last: started once everything above exists
};

}  // namespace

std::unique_ptr<PageSource> MakeFetchingPageSource(std::unique_ptr<PageFetcher> fetcher, PageDecoder decode,
                                                   PageLoadHandler onLoad, std::chrono::milliseconds timeout) {
  return std::make_unique<FetchingPageSource>(std::move(fetcher), decode, std::move(onLoad), timeout);
}

}  // namespace korvane
