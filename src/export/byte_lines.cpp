#include "export/byte_lines.h"

namespace korvane {

std::vector<std::span<const std::uint8_t>> SplitByteLines(std::span<const std::uint8_t> bytes) {
  std::vector<std::span<const std::uint8_t>> lines;
  std::size_t start = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::uint8_t b = bytes[at];
    if (b != '\r' && b != '\n' && b != 0) {
      ++at;
      continue;
    }
    lines.push_back(bytes.subspan(start, at - start));
    at += b == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2u : 1u;
    start = at;
  }
  if (start < bytes.size()) lines.push_back(bytes.subspan(start));
  return lines;
}

}  // namespace korvane
