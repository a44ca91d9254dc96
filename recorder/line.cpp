#include "line.h"

#include "words.h"

namespace recorder {
namespace {
constexpr char kDigits[] = "0123456789abcdef";

// Each byte's two hex digits as the 16-bit word that stores them in
// order: a byte of a region costs one load and one store.
struct PairTable {
  std::uint16_t pairs[256];
};
constexpr PairTable MakePairs() {
  PairTable table = {};
  for (int byte = 0; byte < 256; ++byte)
    table.pairs[byte] = std::uint16_t(kDigits[byte >> 4] | kDigits[byte & 15] << 8);
  return table;
}
constexpr PairTable kPairs = MakePairs();

char* PutPair(char* at, unsigned char byte) {
  __builtin_memcpy(at, &kPairs.pairs[byte], 2);
  return at + 2;
}

// The digits of `value` at `at`; returns the end.
char* PutDecimal(char* at, std::uint32_t value) {
  std::size_t count = 1;
  for (std::uint32_t rest = value / 10; rest; rest /= 10) ++count;
  char* end = at + count;
  do {
    *--end = char('0' + value % 10);
    value /= 10;
  } while (value);
  return at + count;
}

std::size_t LengthOf(const char* text) {
  std::size_t length = 0;
  while (text[length]) ++length;
  return length;
}

// A run of four or more equal bytes is written as {XX*COUNT}.
constexpr std::size_t kLeastRun = 4;

std::size_t RunAt(const unsigned char* bytes, std::size_t k, std::size_t count) {
  std::size_t run = 1;
  while (k + run < count && bytes[k + run] == bytes[k]) ++run;
  return run;
}

}  // namespace

Line& Line::Append(const char* text, std::size_t count) {
  if (!HasRoom(count)) {
    while (count-- && HasRoom(1)) buffer_[size_++] = *text++;
    return *this;
  }
  CopyWords(buffer_ + size_, text, count);
  size_ += count;
  return *this;
}

Line& Line::Text(const char* text) { return Append(text, LengthOf(text)); }

Line& Line::Decimal(std::uint32_t value) {
  char digits[10];
  return Append(digits, std::size_t(PutDecimal(digits, value) - digits));
}

Line& Line::Hex(std::uint32_t value, int digits) {
  if (!HasRoom(std::size_t(digits))) return *this;
  size_ += std::size_t(digits);
  char* at = buffer_ + size_;
  for (; digits >= 2; digits -= 2, value >>= 8) PutPair(at -= 2, value & 0xFF);
  if (digits) at[-1] = kDigits[value & 15];
  return *this;
}

void Line::Pair(unsigned char byte) {
  if (HasRoom(2)) size_ = std::size_t(PutPair(buffer_ + size_, byte) - buffer_);
}

// Text of a run is never longer than the run's pairs, so one check of
// room covers the whole field.
Line& Line::Bytes(const unsigned char* bytes, std::size_t count) {
  if (count == 0) return Char('-');
  if (!HasRoom(2 * count)) return CutBytes(bytes, count);
  char* at = buffer_ + size_;
  for (std::size_t k = 0; k < count;) {
    const std::size_t run = RunAt(bytes, k, count);
    if (run < kLeastRun) {
      for (const std::size_t end = k + run; k < end; ++k) at = PutPair(at, bytes[k]);
      continue;
    }
    *at++ = '{';
    at = PutPair(at, bytes[k]);
    *at++ = '*';
    at = PutDecimal(at, std::uint32_t(run));
    *at++ = '}';
    k += run;
  }
  size_ = std::size_t(at - buffer_);
  return *this;
}

// The same text as Bytes, for as much of it as the buffer holds.
Line& Line::CutBytes(const unsigned char* bytes, std::size_t count) {
  for (std::size_t k = 0; k < count;) {
    const std::size_t run = RunAt(bytes, k, count);
    if (run >= kLeastRun) {
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
