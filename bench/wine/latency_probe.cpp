#include "latency_probe.h"

#include <algorithm>

namespace korvane::bench {
namespace {

constexpr wchar_t kClassName[] = L"KorvaneLatencyProbe";

double TicksToMilliseconds(LONGLONG ticks) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
  }();
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency);
}

}  // namespace

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

double MillisecondsSince(LARGE_INTEGER start) { return TicksToMilliseconds(Now().QuadPart - start.QuadPart); }

LatencyProbe::LatencyProbe() {
  message_ = RegisterWindowMessageW(kClassName);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  answered_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

LatencyProbe::~LatencyProbe() {
  Stop();
  DestroyWindow(window_);
  CloseHandle(answered_);
}

void LatencyProbe::Start() {
  samples_.clear();
  start_ = Now();
  running_.store(true);
  thread_ = std::thread([this] { PostProbes(); });
}

void LatencyProbe::Stop() {
  running_.store(false);
  if (thread_.joinable()) thread_.join();
}

// One probe at a time: the next is posted a few milliseconds after the last was taken, so a long stall
// is one long sample and not a pile of queued probes that would weigh it many times in the percentiles.
void LatencyProbe::PostProbes() {
  while (running_.load()) {
    PostMessageW(window_, message_, 0, static_cast<LPARAM>(Now().QuadPart));
    // Stop is called on the user-interface thread, which then takes no messages: wait in short slices.
    while (running_.load() && WaitForSingleObject(answered_, kIntervalMilliseconds) == WAIT_TIMEOUT) {
    }
    Sleep(kIntervalMilliseconds);
  }
}

LRESULT CALLBACK LatencyProbe::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* probe = reinterpret_cast<LatencyProbe*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (probe == nullptr || message != probe->message_) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (probe->running_.load()) {
    const LONGLONG posted = static_cast<LONGLONG>(lParam);
    probe->samples_.push_back({TicksToMilliseconds(Now().QuadPart - posted),
                               TicksToMilliseconds(posted - probe->start_.QuadPart) / 1000.0});
  }
  SetEvent(probe->answered_);
  return 0;
}

LatencySummary LatencyProbe::Summary() const {
  std::vector<double> waits;
  for (const LatencySample& sample : samples_) waits.push_back(sample.waitMilliseconds);
  if (waits.empty()) return {};
  std::sort(waits.begin(), waits.end());
  const auto at = [&](double share) { return waits[static_cast<std::size_t>(share * static_cast<double>(waits.size() - 1))]; };
  return {waits.size(), at(0.5), at(0.99), waits.back()};
}

std::vector<LatencySample> LatencyProbe::Longest(std::size_t count) const {
  std::vector<LatencySample> longest = samples_;
  std::sort(longest.begin(), longest.end(),
            [](const LatencySample& a, const LatencySample& b) { return a.waitMilliseconds > b.waitMilliseconds; });
  longest.resize(std::min(count, longest.size()));
  return longest;
}

}  // namespace korvane::bench
