#pragma once
// Conversions between the program's Text (UTF-16 in char16_t) and Win32's wide strings (UTF-16 in
// wchar_t). Both are 16-bit code units on Windows; the units are copied rather than reinterpreted,
// because char16_t and wchar_t are distinct types that may not alias.

#include <string>
#include <string_view>

#include "text/text.h"

namespace korvane::win32 {

inline std::wstring ToWide(TextView text) {
  std::wstring wide(text.size(), L'\0');
  for (std::size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<wchar_t>(text[i]);
  return wide;
}

inline Text FromWide(std::wstring_view wide) {
  Text text(wide.size(), u'\0');
  for (std::size_t i = 0; i < wide.size(); ++i) text[i] = static_cast<char16_t>(wide[i]);
  return text;
}

}  // namespace korvane::win32
