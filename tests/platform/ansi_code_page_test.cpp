// The window program decodes symbol names with the system's ANSI code page.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/ansi_code_page.h"

namespace korvane {
namespace {

TEST(DecodeSystemAnsi, DecodesWithTheActiveCodePage) {
  const std::string ascii = "_MessageBoxA@16";
  EXPECT_EQ(DecodeSystemAnsi({reinterpret_cast<const std::uint8_t*>(ascii.data()), ascii.size()}),
            u"_MessageBoxA@16");
  EXPECT_EQ(DecodeSystemAnsi({}), u"");
  if (GetACP() != 1252) GTEST_SKIP() << "system code page is " << GetACP();
  const std::string high = "Caf\xE9\x80";
  EXPECT_EQ(DecodeSystemAnsi({reinterpret_cast<const std::uint8_t*>(high.data()), high.size()}), u"Caf\u00E9\u20AC");
}

}  // namespace
}  // namespace korvane
#endif
