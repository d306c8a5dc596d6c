#include "picture/png_decode.h"

#include <png.h>

namespace korvane {
namespace {

// libpng keeps its decoder state in image.opaque until png_image_finish_read ends; png_image_free
// releases it and is harmless when it has already been released.
class PngImageGuard {
 public:
  explicit PngImageGuard(png_image& image) : image_(image) {}
  PngImageGuard(const PngImageGuard&) = delete;
  PngImageGuard& operator=(const PngImageGuard&) = delete;
  ~PngImageGuard() { png_image_free(&image_); }

 private:
  png_image& image_;
};

bool AcceptableSize(const png_image& image) {
  return image.width > 0 && image.height > 0 && image.width <= kMaxPngSide &&
         image.height <= kMaxPngSide;
}

}  // namespace

std::optional<RgbImage> DecodePng(std::span<const std::uint8_t> bytes, RgbColour background) {
  if (bytes.empty()) return std::nullopt;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  // Reads only from the given bytes: running past their end is a decoding error, not an over-read.
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) return std::nullopt;
  PngImageGuard guard(image);
  if (!AcceptableSize(image)) return std::nullopt;

  image.format = PNG_FORMAT_RGB;
  RgbImage result;
  result.width = static_cast<int>(image.width);
  result.height = static_cast<int>(image.height);
  result.rgb.resize(std::size_t{image.width} * image.height * 3);
  const png_color colour{background.red, background.green, background.blue};
  // Row stride 0: rows packed one after another, top row first.
  if (png_image_finish_read(&image, &colour, result.rgb.data(), 0, nullptr) == 0) return std::nullopt;
  return result;
}

}  // namespace korvane
