#include "platform/win32/ansi_code_page.h"

#include <windows.h>

#include <climits>

namespace korvane {

Text DecodeSystemAnsi(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return DecodeWindows1252(bytes);
  const auto* source = reinterpret_cast<const char*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, source, length, nullptr, 0);
  if (needed <= 0) return DecodeWindows1252(bytes);
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, source, length, wide.data(), needed);
  return Text(wide.begin(), wide.end());
}

}  // namespace korvane
