#include "line.h"

namespace recorder {
namespace {
constexpr char kDigits[] = "0123456789abcdef";
}  // namespace

Line& Line::Text(const char* text) {
  while (*text && HasRoom(1)) buffer_[size_++] = *text++;
  return *this;
}

Line& Line::Decimal(std::uint32_t value) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = char('0' + value % 10);
    value /= 10;
  } while (value);
  while (count) Char(digits[--count]);
  return *this;
}

Line& Line::Hex(std::uint32_t value, int digits) {
  if (!HasRoom(std::size_t(digits))) return *this;
  for (int k = digits - 1; k >= 0; --k, value >>= 4) buffer_[size_ + std::size_t(k)] = kDigits[value & 15];
  size_ += std::size_t(digits);
  return *this;
}

void Line::Pair(unsigned char byte) {
  if (!HasRoom(2)) return;
  buffer_[size_++] = kDigits[byte >> 4];
  buffer_[size_++] = kDigits[byte & 15];
}

Line& Line::Bytes(const unsigned char* bytes, std::size_t count) {
  if (count == 0) return Char('-');
  for (std::size_t k = 0; k < count;) {
    std::size_t run = 1;
    while (k + run < count && bytes[k + run] == bytes[k]) ++run;
    if (run >= 4) {
      Char('{').Pair(bytes[k]);
      Char('*').Decimal(std::uint32_t(run)).Char('}');
      k += run;
    } else {
      Pair(bytes[k++]);
    }
  }
  return *this;
}

Line& Line::LeftOut(std::uint32_t count) { return Text("{??*").Decimal(count).Char('}'); }

Line& Line::Quoted(const char* text, std::size_t count) {
  Char('"');
  for (std::size_t k = 0; k < count; ++k) {
    const unsigned char c = static_cast<unsigned char>(text[k]);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
      Char(char(c));
    else
      Text("\\x").Hex(c, 2);
  }
  return Char('"');
}

Line& Line::Key(const char* key) { return Char(' ').Text(key).Char('='); }

Line& Line::End() {
  buffer_[size_++] = '\r';
  buffer_[size_++] = '\n';
  return *this;
}

}  // namespace recorder
