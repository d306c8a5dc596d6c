#include <gtest/gtest.h>

#include "platform/clock.h"

namespace korvane {
namespace {

// The steady count is in milliseconds (not ticks or microseconds) and a pause lasts at least as long
// as asked: the lookup's 15 ms polling and its elapsed times rest on both.
TEST(SystemClockTest, SleepAdvancesTheSteadyCountByAtLeastTheMilliseconds) {
  const auto clock = MakeSystemClock();
  for (const int milliseconds : {0, 1, 15, 40}) {
    const std::int64_t before = clock->MonotonicMilliseconds();
    clock->SleepMilliseconds(milliseconds);
    const std::int64_t elapsed = clock->MonotonicMilliseconds() - before;
    // One millisecond of slack for the rounding of both readings.
    EXPECT_GE(elapsed, milliseconds - 1) << milliseconds;
    EXPECT_LT(elapsed, 60'000) << milliseconds;  // milliseconds, not microseconds
  }
}

}  // namespace
}  // namespace korvane
