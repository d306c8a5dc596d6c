// The HTTP page source on Windows: WinHTTP in asynchronous mode. Each call's completion arrives through
// the status callback; the worker waits for it, for a wake-up (a superseding navigation, destruction) or
// for the load's deadline, whichever comes first, and stops a request by closing its handle. The state a
// request's callbacks touch belongs to the request handle and is freed when WinHTTP closes it, so a late
// callback never reaches freed memory.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "platform/http_page_source.h"
#include "platform/page_fetcher.h"
#include "platform/win32/ansi_code_page.h"

namespace korvane {
namespace {

struct RequestState {
  HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // set by each awaited completion
  DWORD status = 0;                                            // which completion
  DWORD error = 0;                                             // for WINHTTP_CALLBACK_STATUS_REQUEST_ERROR
  DWORD bytes = 0;                                             // bytes available or read
  std::vector<char> buffer;                                    // read target; lives as long as the handle
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
  auto* state = reinterpret_cast<RequestState*>(context);
  if (state == nullptr) return;
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
      CloseHandle(state->done);
      delete state;
      return;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE: state->bytes = *static_cast<DWORD*>(information); break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE: state->bytes = length; break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
      state->error = static_cast<WINHTTP_ASYNC_RESULT*>(information)->dwError;
      break;
    default: return;
  }
  state->status = status;
  SetEvent(state->done);
}

std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT: return kReasonTimeOut;
    case ERROR_WINHTTP_CANNOT_CONNECT: return kReasonRefused;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return kReasonHostNotFound;
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return kReasonBadAddress;
    case ERROR_WINHTTP_REDIRECT_FAILED: return "redirect failed";
    case ERROR_WINHTTP_SECURE_FAILURE: return "secure connection failed";
    case ERROR_WINHTTP_CONNECTION_ERROR: return "connection reset";
    default: return "WinHTTP error " + std::to_string(error);
  }
}

FetchResult Failure(std::string reason) { return {false, {}, std::move(reason)}; }

class WinHttpFetcher final : public PageFetcher {
 public:
  WinHttpFetcher()
      : session_(WinHttpOpen(L"Korvane", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC)),
        wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~WinHttpFetcher() override {
    if (session_ != nullptr) WinHttpCloseHandle(session_);
    CloseHandle(wake_);
  }
  WinHttpFetcher(const WinHttpFetcher&) = delete;
  WinHttpFetcher& operator=(const WinHttpFetcher&) = delete;

  FetchResult Fetch(const std::string& address, std::chrono::milliseconds timeout,
                    const std::function<bool()>& cancelled) override;

  void Wake() override { SetEvent(wake_); }

 private:
  struct Call {
    HINTERNET request;
    RequestState& state;
    std::chrono::steady_clock::time_point deadline;
    const std::function<bool()>& cancelled;
  };

  std::optional<FetchResult> Await(const Call& call, BOOL started);
  FetchResult Exchange(const Call& call);

  HINTERNET session_;
  HANDLE wake_;
};

// Waits for the completion of a call that `started`; a failure result when it did not end well.
std::optional<FetchResult> WinHttpFetcher::Await(const Call& call, BOOL started) {
  if (!started) return Failure(Reason(GetLastError()));
  const HANDLE handles[] = {call.state.done, wake_};
  for (;;) {
    if (call.cancelled()) return Failure(kReasonCancelled);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(call.deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return Failure(kReasonTimeOut);
    const auto slice = static_cast<DWORD>(std::min<long long>(left.count(), 1000));
    if (WaitForMultipleObjects(2, handles, FALSE, slice) != WAIT_OBJECT_0) continue;
    if (call.state.status == WINHTTP_CALLBACK_STATUS_REQUEST_ERROR) return Failure(Reason(call.state.error));
    return std::nullopt;
  }
}

FetchResult WinHttpFetcher::Exchange(const Call& call) {
  RequestState& state = call.state;
  if (auto failure = Await(call, WinHttpSendRequest(call.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                                    WINHTTP_NO_REQUEST_DATA, 0, 0, reinterpret_cast<DWORD_PTR>(&state))))
    return *failure;
  if (auto failure = Await(call, WinHttpReceiveResponse(call.request, nullptr))) return *failure;
  DWORD status = 0;
  DWORD size = sizeof status;
  WinHttpQueryHeaders(call.request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                      &status, &size, WINHTTP_NO_HEADER_INDEX);
  if (std::string failure = StatusFailure(static_cast<long>(status)); !failure.empty()) return Failure(failure);
  std::string body;
  for (;;) {
    if (auto failure = Await(call, WinHttpQueryDataAvailable(call.request, nullptr))) return *failure;
    if (state.bytes == 0) break;
    if (body.size() + state.bytes > kMaxPageBytes) return Failure(kReasonTooLarge);
    state.buffer.resize(state.bytes);  // no read is pending here, so the buffer may move
    if (auto failure = Await(call, WinHttpReadData(call.request, state.buffer.data(), state.bytes, nullptr)))
      return *failure;
    if (state.bytes == 0) break;
    body.append(state.buffer.data(), state.bytes);
  }
  return {true, std::move(body), {}};
}

FetchResult WinHttpFetcher::Fetch(const std::string& address, std::chrono::milliseconds timeout,
                                  const std::function<bool()>& cancelled) {
  if (session_ == nullptr || wake_ == nullptr) return Failure("WinHTTP unavailable");
  const Text text = Utf8ToText(address);
  const std::wstring url(text.begin(), text.end());
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
    return Failure(kReasonBadAddress);
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                      std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";
  const HINTERNET connection = WinHttpConnect(session_, host.c_str(), parts.nPort, 0);
  if (connection == nullptr) return Failure(Reason(GetLastError()));
  const HINTERNET request =
      WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                         parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  if (request == nullptr) {
    const DWORD error = GetLastError();
    WinHttpCloseHandle(connection);
    return Failure(Reason(error));
  }
  auto* state = new RequestState;
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(state);
  WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context);
  FetchResult result;
  if (state->done == nullptr ||
      WinHttpSetStatusCallback(request, OnStatus, WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES,
                               0) == WINHTTP_INVALID_STATUS_CALLBACK) {
    // Without a callback nobody else frees the state.
    if (state->done != nullptr) CloseHandle(state->done);
    delete state;
    result = Failure("WinHTTP unavailable");
  } else {
    const int bound = static_cast<int>(std::min<long long>(timeout.count(), INT_MAX));
    WinHttpSetTimeouts(request, bound, bound, bound, bound);
    result = Exchange({request, *state, std::chrono::steady_clock::now() + timeout, cancelled});
  }
  // Closing the request also stops a call still running after a time-out or a cancellation.
  WinHttpCloseHandle(request);
  WinHttpCloseHandle(connection);
  return result;
}

}  // namespace

std::unique_ptr<PageSource> MakeHttpPageSource(PageLoadHandler onLoad,
                                               std::chrono::milliseconds timeout) {
  return MakeFetchingPageSource(std::make_unique<WinHttpFetcher>(), DecodeSystemAnsi, std::move(onLoad), timeout);
}

}  // namespace korvane
