#include "png_reader.h"

#include "png_writer.h"

namespace test {
namespace {

unsigned BigEndian32(const std::string& bytes, std::size_t at) {
  return unsigned(static_cast<unsigned char>(bytes[at])) << 24 |
         unsigned(static_cast<unsigned char>(bytes[at + 1])) << 16 |
         unsigned(static_cast<unsigned char>(bytes[at + 2])) << 8 | static_cast<unsigned char>(bytes[at + 3]);
}

unsigned Byte(const std::string& bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

std::string ReadHeader(const std::string& data, PngPicture& picture) {
  if (data.size() != 13) return "IHDR is not 13 bytes";
  picture.width = int(BigEndian32(data, 0));
  picture.height = int(BigEndian32(data, 4));
  if (picture.width <= 0 || picture.height <= 0) return "a zero size";
  if (Byte(data, 8) != 8) return "not 8 bits per sample";
  if (Byte(data, 9) != 0 && Byte(data, 9) != 2) return "colour type " + std::to_string(Byte(data, 9));
  if (Byte(data, 10) || Byte(data, 11) || Byte(data, 12)) return "an unknown compression, filter or interlace method";
  picture.channels = Byte(data, 9) == 0 ? 1 : 3;
  return {};
}

// The data of a zlib stream made of stored blocks.
std::string Inflate(const std::string& stream, std::string& data) {
  if (stream.size() < 6) return "the zlib stream is too short";
  if ((Byte(stream, 0) & 0x0F) != 8 || (Byte(stream, 0) * 256 + Byte(stream, 1)) % 31 || (Byte(stream, 1) & 0x20))
    return "a wrong zlib header";
  std::size_t at = 2;
  for (bool last = false; !last;) {
    if (at + 5 > stream.size()) return "a deflate block runs past the stream";
    const unsigned header = Byte(stream, at);
    if ((header >> 1 & 3) != 0) return "a deflate block that is not stored";
    last = header & 1;
    const unsigned length = Byte(stream, at + 1) | Byte(stream, at + 2) << 8;
    const unsigned complement = Byte(stream, at + 3) | Byte(stream, at + 4) << 8;
    if ((length ^ 0xFFFF) != complement) return "a stored block's length and its complement disagree";
    at += 5;
    if (at + length > stream.size()) return "a stored block runs past the stream";
    data.append(stream, at, length);
    at += length;
  }
  if (at + 4 != stream.size()) return "the zlib stream does not end with its Adler-32";
  if (BigEndian32(stream, at) != host::Adler32(data)) return "a wrong Adler-32";
  return {};
}

std::string Unfilter(const std::string& lines, PngPicture& picture) {
  const std::size_t row = std::size_t(picture.width) * std::size_t(picture.channels);
  if (lines.size() != (row + 1) * std::size_t(picture.height)) return "the image data do not fit the size";
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t at = std::size_t(y) * (row + 1);
    if (lines[at] != 0) return "row " + std::to_string(y) + " has filter type " + std::to_string(Byte(lines, at));
    picture.samples.insert(picture.samples.end(), lines.begin() + long(at) + 1, lines.begin() + long(at + 1 + row));
  }
  return {};
}

}  // namespace

unsigned PngPicture::Pixel(int x, int y) const {
  const std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels);
  if (channels == 1) return samples[at] * 0x010101u;
  return unsigned(samples[at]) << 16 | unsigned(samples[at + 1]) << 8 | samples[at + 2];
}

std::string ReadPng(const std::string& bytes, PngPicture& picture) {
  if (bytes.compare(0, 8, std::string("\x89PNG\r\n\x1A\n", 8)) != 0) return "no PNG signature";
  std::string compressed;
  bool ended = false;
  for (std::size_t at = 8; at < bytes.size();) {
    if (ended) return "bytes after IEND";
    if (at + 12 > bytes.size()) return "a chunk runs past the file";
    const std::size_t length = BigEndian32(bytes, at);
    if (at + 12 + length > bytes.size()) return "a chunk runs past the file";
    const std::string type = bytes.substr(at + 4, 4), data = bytes.substr(at + 8, length);
    if (BigEndian32(bytes, at + 8 + length) != host::Crc32(type + data)) return "a wrong CRC in " + type;
    if (at == 8 && type != "IHDR") return "the first chunk is not IHDR";
    if (type == "IHDR")
      if (std::string error = ReadHeader(data, picture); !error.empty()) return error;
    if (type == "IDAT") compressed += data;
    ended = type == "IEND";
    at += 12 + length;
  }
  if (!ended) return "no IEND";
  std::string lines;
  if (std::string error = Inflate(compressed, lines); !error.empty()) return error;
  return Unfilter(lines, picture);
}

}  // namespace test
