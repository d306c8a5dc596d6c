// The HTTP page source on Linux: libcurl's multi interface, so a superseding navigation or the source's
// destruction can interrupt a request at once (curl_multi_wakeup) instead of waiting for its time-out.
#include <curl/curl.h>

#include <mutex>

#include "platform/http_page_source.h"
#include "platform/page_fetcher.h"
#include "platform/posix/shared_library.h"

#define KORVANE_LIBCURL_FUNCTIONS(X)                                                                   \
  X(curl_global_init) X(curl_easy_init) X(curl_easy_cleanup) X(curl_easy_setopt) X(curl_easy_getinfo) \
  X(curl_easy_strerror) X(curl_multi_init) X(curl_multi_cleanup) X(curl_multi_add_handle)              \
  X(curl_multi_remove_handle) X(curl_multi_perform) X(curl_multi_poll) X(curl_multi_info_read)        \
  X(curl_multi_wakeup)

namespace korvane {
namespace {

// libcurl is opened by the first HTTP page source (platform/posix/shared_library.h).
#define KORVANE_DEFINE_LIBCURL_FUNCTION(name) decltype(&::name) name = nullptr;
KORVANE_LIBCURL_FUNCTIONS(KORVANE_DEFINE_LIBCURL_FUNCTION)
#undef KORVANE_DEFINE_LIBCURL_FUNCTION

// Opens libcurl and initialises it, once. Empty when it can be used; otherwise why not.
const std::string& OpenLibCurl() {
  static std::once_flag once;
  static std::string problem;
  std::call_once(once, [] {
    problem = OpenSharedFunctions("libcurl", {KORVANE_LIBCURL_FILE, KORVANE_LIBCURL_SONAME},
                                  [](void* library, std::string& missing) {
#define KORVANE_FIND_LIBCURL_FUNCTION(name) FindSharedFunction(library, #name, name, missing);
                                    KORVANE_LIBCURL_FUNCTIONS(KORVANE_FIND_LIBCURL_FUNCTION)
#undef KORVANE_FIND_LIBCURL_FUNCTION
                                  });
    if (problem.empty()) curl_global_init(CURL_GLOBAL_DEFAULT);
  });
  return problem;
}

struct Body {
  std::string bytes;
  bool tooLarge = false;
};

std::size_t Append(char* data, std::size_t size, std::size_t count, void* user) {
  auto* body = static_cast<Body*>(user);
  const std::size_t length = size * count;
  if (body->bytes.size() + length > kMaxPageBytes) {
    body->tooLarge = true;
    return 0;  // makes libcurl stop with a write error
  }
  body->bytes.append(data, length);
  return length;
}

std::string Reason(CURLcode code, const Body& body) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT: return kReasonTimeOut;
    case CURLE_COULDNT_CONNECT: return kReasonRefused;
    case CURLE_COULDNT_RESOLVE_HOST: return kReasonHostNotFound;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL: return kReasonBadAddress;
    case CURLE_WRITE_ERROR: return body.tooLarge ? kReasonTooLarge : curl_easy_strerror(code);
    default: return curl_easy_strerror(code);
  }
}

class CurlFetcher final : public PageFetcher {
 public:
  CurlFetcher() {
    if (OpenLibCurl().empty()) multi_ = curl_multi_init();
  }
  ~CurlFetcher() override {
    if (multi_ != nullptr) curl_multi_cleanup(multi_);
  }
  CurlFetcher(const CurlFetcher&) = delete;
  CurlFetcher& operator=(const CurlFetcher&) = delete;

  FetchResult Fetch(const std::string& address, std::chrono::milliseconds timeout,
                    const std::function<bool()>& cancelled) override {
    if (const std::string& problem = OpenLibCurl(); !problem.empty()) return {false, {}, problem};
    CURL* easy = multi_ != nullptr ? curl_easy_init() : nullptr;
    if (easy == nullptr) return {false, {}, "out of memory"};
    Body body;
    Configure(easy, address, timeout, body);
    curl_multi_add_handle(multi_, easy);
    const CURLcode code = Run(cancelled);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(multi_, easy);
    curl_easy_cleanup(easy);
    if (code != CURLE_OK) return {false, {}, Reason(code, body)};
    if (std::string failure = StatusFailure(status); !failure.empty()) return {false, {}, failure};
    return {true, std::move(body.bytes), {}};
  }

  void Wake() override {
    if (multi_ != nullptr) curl_multi_wakeup(multi_);
  }

 private:
  static void Configure(CURL* easy, const std::string& address, std::chrono::milliseconds timeout, Body& body) {
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    // Only web pages: an address or a redirect must not reach local files or other protocols.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM from a worker thread
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Korvane");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  }

  // Drives the transfer until it ends or `cancelled` answers true; returns the transfer's result.
  CURLcode Run(const std::function<bool()>& cancelled) {
    for (;;) {
      int running = 0;
      if (curl_multi_perform(multi_, &running) != CURLM_OK) return CURLE_FAILED_INIT;
      if (running == 0) break;
      if (cancelled()) return CURLE_ABORTED_BY_CALLBACK;
      curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
      if (cancelled()) return CURLE_ABORTED_BY_CALLBACK;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
      if (message->msg == CURLMSG_DONE) return message->data.result;
    }
    return CURLE_FAILED_INIT;
  }

  CURLM* multi_ = nullptr;
};

}  // namespace

std::unique_ptr<PageSource> MakeHttpPageSource(PageLoadHandler onLoad,
                                               std::chrono::milliseconds timeout) {
  return MakeFetchingPageSource(std::make_unique<CurlFetcher>(), DecodeWindows1252, std::move(onLoad), timeout);
}

}  // namespace korvane
