// A reader of the PNG files hostsim writes, from the PNG and zlib
// standards and strict about them: the signature, every chunk's CRC, the
// header's fields, the zlib header, stored deflate blocks with their
// length complements, Adler-32, and a filter type byte on every row.
#pragma once

#include <string>
#include <vector>

namespace test {

struct PngPicture {
  int width = 0, height = 0;
  int channels = 0;                    // 1 gray, 3 RGB
  std::vector<unsigned char> samples;  // row by row, no filter bytes
  // A pixel's samples as 0xRRGGBB, gray ones alike.
  unsigned Pixel(int x, int y) const;
};

// Gives an empty string for a well-formed file, else what is wrong.
std::string ReadPng(const std::string& bytes, PngPicture& picture);

}  // namespace test
