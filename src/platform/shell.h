#pragma once
// The shell's default handler for web addresses, and the clock.

#include <memory>

#include "text/text.h"

namespace korvane {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a web address in the default browser without waiting; false when nothing could open it.
  virtual bool OpenAddress(const Text& address) = 0;
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

// The local time of the system the program runs on.
std::unique_ptr<Clock> MakeSystemClock();

}  // namespace korvane
