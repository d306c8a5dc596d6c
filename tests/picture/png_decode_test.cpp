// PNG decoding: every colour type arrives as 8-bit RGB, and bad input of any kind gives no picture.
#include "picture/png_decode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "picture/donation_picture.h"

namespace korvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Writes a PNG with libpng's own encoder, so that each case states its pixels rather than file bytes.
Bytes WritePng(png_uint_32 width, png_uint_32 height, png_uint_32 format, const Bytes& pixels,
               const Bytes& colormap = {}) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = format;
  image.colormap_entries = static_cast<png_uint_32>(colormap.size() / 3);
  const void* map = colormap.empty() ? nullptr : colormap.data();
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map) == 0) return {};
  Bytes file(size);
  if (png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, map) == 0) return {};
  file.resize(size);
  return file;
}

Bytes DonationPicture() {
  const auto png = DonationPicturePng();
  return Bytes(png.begin(), png.end());
}

TEST(DecodePng, DonationPictureIsA36By28OpaqueRgbPicture) {
  const Bytes png = DonationPicture();
  const auto image = DecodePng(png);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 36);
  EXPECT_EQ(image->height, 28);
  EXPECT_EQ(image->rgb.size(), 36u * 28u * 3u);
  // The header's bit depth and colour type (offsets 24 and 25): 8 bits per sample, RGB without
  // alpha; and no tRNS chunk, which would add transparency to an RGB picture.
  ASSERT_GT(png.size(), 26u);
  EXPECT_EQ(png[24], 8);
  EXPECT_EQ(png[25], 2);
  EXPECT_EQ(std::string(png.begin(), png.end()).find("tRNS"), std::string::npos);
}

TEST(DecodePng, EveryColourTypeArrivesAsRgb) {
  const RgbColour background{10, 20, 30};
  struct Case {
    const char* name;
    png_uint_32 format;
    Bytes pixels;  // 2 x 1 pixels in `format`
    Bytes colormap;
    Bytes expected;
  };
  const Case cases[] = {
      {"rgb", PNG_FORMAT_RGB, {1, 2, 3, 250, 128, 0}, {}, {1, 2, 3, 250, 128, 0}},
      {"grey", PNG_FORMAT_GRAY, {0, 200}, {}, {0, 0, 0, 200, 200, 200}},
      {"opaque rgba", PNG_FORMAT_RGBA, {1, 2, 3, 255, 4, 5, 6, 255}, {}, {1, 2, 3, 4, 5, 6}},
      {"transparent pixel takes the background", PNG_FORMAT_RGBA, {1, 2, 3, 255, 4, 5, 6, 0}, {},
       {1, 2, 3, 10, 20, 30}},
      {"palette", PNG_FORMAT_RGB_COLORMAP, {1, 0}, {9, 8, 7, 200, 100, 50}, {200, 100, 50, 9, 8, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes png = WritePng(2, 1, c.format, c.pixels, c.colormap);
    ASSERT_FALSE(png.empty());
    const auto image = DecodePng(png, background);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->rgb, c.expected);
  }
}

TEST(DecodePng, RowsRunTopToBottom) {
  const Bytes pixels = {1, 1, 1, 2, 2, 2, 3, 3, 3};  // a column of three grey pixels
  const auto image = DecodePng(WritePng(1, 3, PNG_FORMAT_RGB, pixels));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 1);
  EXPECT_EQ(image->height, 3);
  EXPECT_EQ(image->rgb, pixels);
}

TEST(DecodePng, SidesUpTo4096PixelsAreAccepted) {
  struct Case {
    png_uint_32 width;
    png_uint_32 height;
    bool accepted;
  };
  const Case cases[] = {{4096, 1, true}, {1, 4096, true}, {4097, 1, false}, {1, 4097, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    const Bytes pixels(std::size_t{c.width} * c.height * 3, 77);
    const Bytes png = WritePng(c.width, c.height, PNG_FORMAT_RGB, pixels);
    ASSERT_FALSE(png.empty());
    const auto image = DecodePng(png);
    EXPECT_EQ(image.has_value(), c.accepted);
    if (image) {
      EXPECT_EQ(image->rgb, pixels);
    }
  }
}

TEST(DecodePng, BadInputGivesNoPicture) {
  const Bytes whole = DonationPicture();
  const std::size_t iend = whole.size() - 12;  // the file ends with the 12-byte IEND chunk
  struct Case {
    const char* name;
    std::size_t keep;  // bytes of the picture kept
  };
  const Case cuts[] = {
      {"empty", 0},
      {"signature only", 8},
      {"inside the header chunk", 20},
      {"header without image data", 33},
      {"image data just begun", 45},
      {"half the file", whole.size() / 2},
      {"image data without its checksum", iend - 4},
  };
  for (const Case& c : cuts) {
    SCOPED_TRACE(c.name);
    // A buffer of exactly the kept size, so that the sanitizers would catch a read past it.
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.keep));
    EXPECT_FALSE(DecodePng(cut).has_value());
  }

  const std::string text = "not a picture at all, just some words";
  EXPECT_FALSE(DecodePng(Bytes(text.begin(), text.end())).has_value());

  const std::size_t corrupted_offsets[] = {20, 50, iend - 8};  // header, image data, data again
  for (const std::size_t offset : corrupted_offsets) {
    SCOPED_TRACE(testing::Message() << "byte " << offset << " flipped");
    Bytes corrupt = whole;
    corrupt[offset] ^= 0x5A;
    EXPECT_FALSE(DecodePng(corrupt).has_value());
  }
}

}  // namespace
}  // namespace korvane
