// PNG files of 8-bit RGB pictures, for screenshots. No compressor: the
// image data go into stored deflate blocks, which every reader takes; a
// picture of grays only is written as grayscale, a third of the size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct RgbImage {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // row by row from the top, 3 bytes a pixel
};

std::string PngOf(const RgbImage& image);

// The checksums PNG and zlib call for (ISO 3309 CRC-32, Adler-32).
std::uint32_t Crc32(const std::string& bytes);
std::uint32_t Adler32(const std::string& bytes);

}  // namespace host
