#pragma once
// The shell's default handler for web addresses.

#include "text/text.h"

namespace korvane {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a web address in the default browser without waiting; false when nothing could open it.
  virtual bool OpenAddress(const Text& address) = 0;
};

}  // namespace korvane
