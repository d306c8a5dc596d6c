#pragma once
// The clock: the local time for file names and the status bar, a steady millisecond count for
// elapsed times, and a pause for polling loops.

#include <cstdint>
#include <memory>

namespace korvane {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // Milliseconds from an arbitrary start; never goes back, whatever happens to the wall clock.
  virtual std::int64_t MonotonicMilliseconds() = 0;
  // Pauses the calling thread for about `milliseconds` (0 or less: gives up the rest of its time slice).
  virtual void SleepMilliseconds(int milliseconds) = 0;
};

// The clock of the system the program runs on.
std::unique_ptr<Clock> MakeSystemClock();

}  // namespace korvane
