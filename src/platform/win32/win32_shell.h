#pragma once
// The shell's handler for web addresses on Windows.

#include "platform/shell.h"

namespace korvane {

class Win32Shell final : public Shell {
 public:
  bool OpenAddress(const Text& address) override;
};

}  // namespace korvane
