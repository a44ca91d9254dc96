#include "line.h"

namespace recorder {
namespace {
constexpr char kDigits[] = "0123456789abcdef";
// Room kept for the line's end, so that a cut line still ends.
constexpr std::size_t kEndRoom = 2;
}  // namespace

Line& Line::Char(char c) {
  if (size_ + kEndRoom < kCapacity) buffer_[size_++] = c;
  return *this;
}

Line& Line::Text(const char* text) {
  while (*text) Char(*text++);
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
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) Char(kDigits[(value >> shift) & 15]);
  return *this;
}

Line& Line::Bytes(const unsigned char* bytes, std::size_t count) {
  if (count == 0) return Char('-');
  for (std::size_t k = 0; k < count;) {
    std::size_t run = 1;
    while (k + run < count && bytes[k + run] == bytes[k]) ++run;
    if (run >= 4) {
      Char('{').Hex(bytes[k], 2).Char('*').Decimal(std::uint32_t(run)).Char('}');
      k += run;
    } else {
      Hex(bytes[k++], 2);
    }
  }
  return *this;
}

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
