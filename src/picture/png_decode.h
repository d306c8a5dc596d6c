#pragma once
// Decoding of PNG files held in memory into plain 8-bit RGB pixels, for pictures the program draws.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvane {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes per pixel (red, green, blue), rows top to bottom
};

struct RgbColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// Larger pictures are refused: nothing the program shows comes near, and a forged header must not
// make it allocate gigabytes.
inline constexpr int kMaxPngSide = 4096;

// Any PNG colour type and bit depth, converted to sRGB 8-bit RGB; transparent and partly transparent
// pixels are composed onto `background`. Empty, truncated, corrupt or oversized input gives nullopt.
std::optional<RgbImage> DecodePng(std::span<const std::uint8_t> bytes,
                                  RgbColour background = {255, 255, 255});

}  // namespace korvane
