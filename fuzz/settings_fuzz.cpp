// Any bytes as a settings file: parsing never fails, and a file written by the program reads back
// into the same lines (the written form is a fixed point).
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const auto lines = ParseSettingsLines(std::span<const std::uint8_t>(data, size));
  const auto written = FormatSettingsLines(lines);
  const auto again = FormatSettingsLines(ParseSettingsLines(written));
  if (again != written) std::abort();
  return 0;
}
