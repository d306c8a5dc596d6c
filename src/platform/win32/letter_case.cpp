#include "platform/win32/letter_case.h"

#include <windows.h>

namespace korvane {

Text SystemUpperCase(TextView text) {
  Text out(text);
  if (out.empty()) return out;
  std::wstring wide(out.begin(), out.end());
  CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Text(wide.begin(), wide.end());
}

}  // namespace korvane
