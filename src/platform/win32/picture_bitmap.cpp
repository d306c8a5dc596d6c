// The donation picture as a Win32 bitmap: decoded from the PNG built into the program and copied into
// a 24-bit device-independent bitmap, pixel for pixel.
#include "platform/win32/win32_controls.h"

// The build defines KORVANE_DONATION_PICTURE where it links the picture decoder.
#if defined(KORVANE_DONATION_PICTURE) && __has_include("picture/png_decode.h") && \
                                                       __has_include("picture/donation_picture.h")
#include <cstdint>
#include <optional>

#include "picture/donation_picture.h"
#include "picture/png_decode.h"
#define KORVANE_WITH_DONATION_PICTURE 1
#endif

namespace korvane::win32 {

#ifdef KORVANE_WITH_DONATION_PICTURE
namespace {

// A top-down 24-bit DIB section: rows are stored blue-green-red and padded to a multiple of 4 bytes.
HBITMAP MakeBitmap(const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0) return nullptr;
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);
  if (image.rgb.size() < width * height * 3) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // negative: the first row is the top row
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return bitmap;
  const std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
  auto* out = static_cast<std::uint8_t*>(bits);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* source = image.rgb.data() + y * width * 3;
    std::uint8_t* target = out + y * stride;
    for (std::size_t x = 0; x < width; ++x) {
      target[x * 3 + 0] = source[x * 3 + 2];
      target[x * 3 + 1] = source[x * 3 + 1];
      target[x * 3 + 2] = source[x * 3 + 0];
    }
  }
  GdiFlush();  // the bits were written directly; make GDI see them before the bitmap is drawn
  return bitmap;
}

}  // namespace

HBITMAP MakeDonationBitmap() {
  const std::optional<RgbImage> image = DecodePng(DonationPicturePng());
  return image ? MakeBitmap(*image) : nullptr;
}

#else

// Built without the picture decoder: the button shows no picture.
HBITMAP MakeDonationBitmap() { return nullptr; }

#endif

}  // namespace korvane::win32
