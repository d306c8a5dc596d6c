// The clock on Linux (command line and tests).
#include <cerrno>
#include <ctime>

#include "platform/clock.h"

namespace korvane {
namespace {

class PosixClock final : public Clock {
 public:
  LocalTime Now() override {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    // localtime_r fails only for a time zone it cannot resolve; the universal time is the nearest
    // sound answer then.
    if (::localtime_r(&now, &parts) == nullptr && ::gmtime_r(&now, &parts) == nullptr) return {};
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
  }

  std::int64_t MonotonicMilliseconds() override {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  }

  void SleepMilliseconds(int milliseconds) override {
    timespec pause{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    if (milliseconds <= 0) pause = {0, 0};
    // Interrupted by a signal, the pause goes on for what remains.
    while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
  }
};

}  // namespace

std::unique_ptr<Clock> MakeSystemClock() { return std::make_unique<PosixClock>(); }

}  // namespace korvane
