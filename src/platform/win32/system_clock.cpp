// The local clock on Windows: the same one the window program uses.
#include "platform/win32/win32_shell.h"

namespace korvane {

std::unique_ptr<Clock> MakeSystemClock() { return std::make_unique<Win32Clock>(); }

}  // namespace korvane
