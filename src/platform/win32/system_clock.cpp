// The clock on Windows: local time, the performance counter, and Sleep with a 1 ms timer resolution.
#include <windows.h>
#include <timeapi.h>

#include "platform/clock.h"

namespace korvane {
namespace {

class Win32Clock final : public Clock {
 public:
  // Sleep(1) lasts a whole timer tick (15.6 ms by default); the lookup polls every 15 ms and needs
  // the tick at 1 ms for as long as the clock lives.
  Win32Clock() : periodRaised_(timeBeginPeriod(1) == TIMERR_NOERROR) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
  }
  ~Win32Clock() override {
    if (periodRaised_) timeEndPeriod(1);
  }
  Win32Clock(const Win32Clock&) = delete;
  Win32Clock& operator=(const Win32Clock&) = delete;

  LocalTime Now() override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }

  std::int64_t MonotonicMilliseconds() override {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    // Whole seconds and the remainder apart, so the product cannot overflow.
    return counter.QuadPart / frequency_ * 1000 + counter.QuadPart % frequency_ * 1000 / frequency_;
  }

  void SleepMilliseconds(int milliseconds) override { Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0); }

 private:
  bool periodRaised_;
  LONGLONG frequency_ = 1;
};

}  // namespace

std::unique_ptr<Clock> MakeSystemClock() { return std::make_unique<Win32Clock>(); }

}  // namespace korvane
