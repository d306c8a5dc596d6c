// The local clock on Linux (command line and tests).
#include <ctime>

#include "platform/shell.h"

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
};

}  // namespace

std::unique_ptr<Clock> MakeSystemClock() { return std::make_unique<PosixClock>(); }

}  // namespace korvane
