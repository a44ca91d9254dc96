#include "png_writer.h"

#include <algorithm>

namespace host {
namespace {

constexpr std::size_t kStoredBlockLimit = 65535;

std::string BigEndian32(std::uint32_t value) {
  return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// Length, type, data and the CRC of type and data.
std::string Chunk(const std::string& type, const std::string& data) {
  return BigEndian32(std::uint32_t(data.size())) + type + data + BigEndian32(Crc32(type + data));
}

bool IsGray(const RgbImage& image) {
  for (std::size_t at = 0; at + 2 < image.rgb.size(); at += 3)
    if (image.rgb[at] != image.rgb[at + 1] || image.rgb[at] != image.rgb[at + 2]) return false;
  return true;
}

// 8 bits per sample, colour type 0 (gray) or 2 (RGB), deflate, the
// standard filters, not interlaced.
std::string Header(const RgbImage& image, bool gray) {
  return BigEndian32(std::uint32_t(image.width)) + BigEndian32(std::uint32_t(image.height)) +
         std::string{8, char(gray ? 0 : 2), 0, 0, 0};
}

// Each row behind its filter type byte, 0: the samples as they are.
std::string Scanlines(const RgbImage& image, bool gray) {
  const std::size_t step = gray ? 3 : 1, row = std::size_t(image.width) * 3;
  std::string lines;
  for (int y = 0; y < image.height; ++y) {
    lines += '\0';
    for (std::size_t x = 0; x < row; x += step) lines += char(image.rgb[std::size_t(y) * row + x]);
  }
  return lines;
}

// A zlib stream of stored blocks: header, blocks of at most 65535 bytes
// with their length and its complement (little-endian), Adler-32.
std::string StoredZlib(const std::string& data) {
  std::string stream = "\x78\x01";
  std::size_t at = 0;
  do {
    const std::size_t length = std::min(kStoredBlockLimit, data.size() - at);
    const bool last = at + length == data.size();
    stream += char(last ? 1 : 0);
    stream += {char(length), char(length >> 8), char(~length), char(~length >> 8)};
    stream.append(data, at, length);
    at += length;
  } while (at < data.size());
  return stream + BigEndian32(Adler32(data));
}

}  // namespace

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

std::uint32_t Adler32(const std::string& bytes) {
  constexpr std::uint32_t kModulus = 65521;
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : bytes) {
    a = (a + byte) % kModulus;
    b = (b + a) % kModulus;
  }
  return b << 16 | a;
}

std::string PngOf(const RgbImage& image) {
  const bool gray = IsGray(image);
  return std::string("\x89PNG\r\n\x1A\n", 8) + Chunk("IHDR", Header(image, gray)) +
         Chunk("IDAT", StoredZlib(Scanlines(image, gray))) + Chunk("IEND", "");
}

}  // namespace host
