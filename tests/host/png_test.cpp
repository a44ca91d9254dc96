// Screenshots as PNG files: the checksums against their standards'
// values, and pictures read back by a reader of the standard.
#include <gtest/gtest.h>

#include "png_reader.h"
#include "png_writer.h"

namespace {

TEST(PngChecksums, AgreeWithTheStandardsValues) {
  EXPECT_EQ(0xCBF43926u, host::Crc32("123456789"));
  EXPECT_EQ(0xAE426082u, host::Crc32("IEND")) << "the CRC every PNG ends with";
  EXPECT_EQ(0x00000000u, host::Crc32(""));
  EXPECT_EQ(0x11E60398u, host::Adler32("Wikipedia"));
  EXPECT_EQ(0x00000001u, host::Adler32(""));
  EXPECT_EQ(0x54B27596u, host::Adler32(std::string(5000, '\xFF'))) << "both sums wrap at 65521";
}

host::RgbImage Picture(int width, int height, bool gray) {
  host::RgbImage image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char level = static_cast<unsigned char>(x * 7 + y * 13);
      image.rgb.push_back(level);
      image.rgb.push_back(static_cast<unsigned char>(gray ? level : x));
      image.rgb.push_back(static_cast<unsigned char>(gray ? level : y));
    }
  return image;
}

// 200 x 120 in colour needs two stored blocks; the same in grays one.
TEST(PngWriter, PicturesReadBackPixelForPixel) {
  for (const bool gray : {false, true}) {
    const host::RgbImage image = Picture(200, 120, gray);
    const std::string png = host::PngOf(image);
    test::PngPicture picture;
    ASSERT_EQ("", test::ReadPng(png, picture)) << gray;
    EXPECT_EQ(200, picture.width);
    EXPECT_EQ(120, picture.height);
    EXPECT_EQ(gray ? 1 : 3, picture.channels);
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 200; ++x) {
        const std::size_t at = std::size_t(y * 200 + x) * 3;
        ASSERT_EQ(unsigned(image.rgb[at]) << 16 | unsigned(image.rgb[at + 1]) << 8 | image.rgb[at + 2],
                  picture.Pixel(x, y))
            << x << "," << y;
      }
    EXPECT_LT(png.size(), (gray ? 1 : 3) * 200u * 121u + 100u) << "no more than the samples and a little";
  }
  test::PngPicture one;
  ASSERT_EQ("", test::ReadPng(host::PngOf(Picture(1, 1, false)), one));
  EXPECT_EQ(0x000000u, one.Pixel(0, 0));
}

}  // namespace
