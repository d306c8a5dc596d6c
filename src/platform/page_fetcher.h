#pragma once
// What the HTTP page source needs of a system's HTTP client, and the worker that drives it. The worker
// (fetching_page_source.cpp) holds the rules every implementation shares: one thread per source, a new
// navigation supersedes a running one, busy until just before the end is reported, no report after
// destruction. The client (WinHTTP, libcurl) only fetches bytes.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/page_source.h"

namespace korvane {

// Short reasons of a failed load, the same on every system.
inline constexpr const char* kReasonTimeOut = "time-out";
inline constexpr const char* kReasonRefused = "connection refused";
inline constexpr const char* kReasonHostNotFound = "host not found";
inline constexpr const char* kReasonBadAddress = "invalid address";
inline constexpr const char* kReasonTooLarge = "page too large";
inline constexpr const char* kReasonCancelled = "cancelled";

// A page larger than this is refused rather than held in memory: reference pages are far smaller.
inline constexpr std::size_t kMaxPageBytes = 64u << 20;

struct FetchResult {
  bool loaded = false;
  std::string body;    // the page's bytes when loaded
  std::string reason;  // why not, when not loaded
};

// "HTTP 404" for a status that ends a load as failed, empty for one that does not.
std::string StatusFailure(long status);

class PageFetcher {
 public:
  virtual ~PageFetcher() = default;

  // Fetches `address` (UTF-8), following redirects, within `timeout`. Returns early, with any result,
  // once `cancelled` answers true; the fetcher asks it whenever Wake has been called and at least
  // every second.
  virtual FetchResult Fetch(const std::string& address, std::chrono::milliseconds timeout,
                            const std::function<bool()>& cancelled) = 0;

  // Called from other threads: makes a running Fetch ask `cancelled` soon. Harmless when none runs.
  virtual void Wake() = 0;
};

using PageDecoder = Text (*)(std::span<const std::uint8_t> bytes);

std::unique_ptr<PageSource> MakeFetchingPageSource(std::unique_ptr<PageFetcher> fetcher, PageDecoder decode,
                                                   PageLoadHandler onLoad,
                                                   std::chrono::milliseconds timeout);

}  // namespace korvane
