#pragma once
// The shell's handler for web addresses, and the local clock, on Windows.

#include "platform/shell.h"

namespace korvane {

class Win32Shell final : public Shell {
 public:
  bool OpenAddress(const Text& address) override;
};

class Win32Clock final : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace korvane
