#include "fuzz_input.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "plugin_interface.h"
#include "plugin_writes.h"
#include "project_format.h"
#include "signal_encoding.h"

namespace host {

std::uint64_t FuzzRandom::Next() {
  std::uint64_t z = state_ += 0x9E3779B97F4A7C15ull;
  z = (z ^ z >> 30) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ z >> 27) * 0x94D049BB133111EBull;
  return z ^ z >> 31;
}

std::uint32_t FuzzRandom::Below(std::uint32_t count) { return std::uint32_t((Next() >> 32) * count >> 32); }

namespace {

// An x87 value by its parts, as it lies in the 10 bytes.
struct Encoding {
  std::uint16_t signAndExponent;
  std::uint64_t significand;
};

constexpr std::uint64_t kIntegerBit = 1ull << 63;
constexpr std::uint64_t kQuietBit = 1ull << 62;
constexpr std::uint16_t kHighestExponent = 0x7FFF;
// 2.5 is 0x4000:A000000000000000; a host that rounds to a double first
// tips over 2.5 at 2.5 + 2^-52, 0x4000:A000000000000400.
constexpr std::uint16_t kExponentOfTwo = 0x4000;
constexpr std::uint64_t kTwoAndAHalf = 0xA000000000000000ull;
constexpr std::uint64_t kDoubleMidpoint = 0xA000000000000400ull;

double RandomVolts(FuzzRandom& random, double low, double high) {
  return low + (high - low) * double(random.Next() >> 11) * 0x1p-53;
}

std::uint16_t RandomSign(FuzzRandom& random) { return random.OneIn(2) ? 0x8000 : 0; }

// A valid value from the whole range: tiny, huge, positive or negative.
Encoding AnyNormal(FuzzRandom& random) {
  const std::uint16_t exponent = std::uint16_t(1 + random.Below(kHighestExponent - 1));
  return {std::uint16_t(RandomSign(random) | exponent), kIntegerBit | random.Next()};
}

// One of the odd kinds, each as likely as the others.
Encoding OddEncoding(FuzzRandom& random) {
  const std::uint16_t sign = RandomSign(random);
  const std::uint64_t bits = random.Next();
  const std::uint64_t offset = bits % 9 - 4;  // -4 to 4, wrapping
  switch (random.Below(11)) {
    case 0:
      return {kExponentOfTwo, kTwoAndAHalf + offset};
    case 1:
      return {kExponentOfTwo, kDoubleMidpoint + offset};
    case 2:
      return {std::uint16_t(sign | kHighestExponent), kIntegerBit};  // an infinity
    case 3:
      // A quiet NaN; with no payload and negative, the x87's own indefinite.
      return {std::uint16_t(sign | kHighestExponent), kIntegerBit | kQuietBit | (random.OneIn(4) ? 0 : bits >> 2)};
    case 4:
      return {std::uint16_t(sign | kHighestExponent), kIntegerBit | (bits >> 2 | 1)};  // signalling NaN
    case 5:
      // A pseudo-infinity, or a pseudo-NaN: the integer bit clear.
      return {std::uint16_t(sign | kHighestExponent), random.OneIn(4) ? 0 : bits >> 1};
    case 6:
      return {std::uint16_t(sign | (1 + random.Below(kHighestExponent - 1))), bits >> 1};  // unnormal
    case 7:
      return {sign, bits >> 1};  // denormal
    case 8:
      return {sign, kIntegerBit | bits};  // pseudo-denormal
    case 9:
      return AnyNormal(random);
    default: {
      Encoding any;
      any.significand = bits;
      any.signAndExponent = std::uint16_t(random.Next());
      return any;
    }
  }
}

void Put(const Encoding& encoding, unsigned char* value) {
  std::memcpy(value, &encoding.significand, 8);
  std::memcpy(value + 8, &encoding.signAndExponent, 2);
}

}  // namespace

void RandomSignal(FuzzRandom& random, unsigned char* value) {
  const std::uint32_t kind = random.Below(20);
  if (kind < 7)
    PutLevel(true, value);
  else if (kind < 14)
    PutLevel(false, value);
  else if (kind < 16)
    EncodeSignal(RandomVolts(random, -10, 10), value);
  else if (kind < 17)
    EncodeSignal(RandomVolts(random, 2.4, 2.6), value);
  else
    Put(OddEncoding(random), value);
}

std::vector<OddSignal> OddSignals() {
  constexpr std::uint16_t kNegativeInfinityOrNaN = 0xFFFF, kLargestExponent = kHighestExponent - 1;
  const struct {
    const char* kind;
    Encoding encoding;
  } kinds[] = {
      {"2.5", {kExponentOfTwo, kTwoAndAHalf}},
      {"the first value above 2.5 a double tells from it", {kExponentOfTwo, kDoubleMidpoint}},
      {"+infinity", {kHighestExponent, kIntegerBit}},
      {"-infinity", {kNegativeInfinityOrNaN, kIntegerBit}},
      {"a quiet NaN", {kHighestExponent, kIntegerBit | kQuietBit | 1}},
      {"the x87's indefinite", {kNegativeInfinityOrNaN, kIntegerBit | kQuietBit}},
      {"a signalling NaN", {kHighestExponent, kIntegerBit | 1}},
      {"a pseudo-infinity", {kHighestExponent, 0}},
      {"a pseudo-NaN", {kHighestExponent, 1}},
      {"an unnormal", {kExponentOfTwo, kTwoAndAHalf >> 1}},
      {"a denormal", {0, 1}},
      {"a pseudo-denormal", {0, kIntegerBit}},
      {"the largest value", {kLargestExponent, ~0ull}},
      {"the smallest normal value", {1, kIntegerBit}},
  };
  std::vector<OddSignal> signals;
  for (const auto& kind : kinds) {
    OddSignal signal{kind.kind, {}};
    Put(kind.encoding, signal.value);
    signals.push_back(signal);
  }
  return signals;
}

std::string ShownSignal(const unsigned char* value) {
  if (std::memcmp(value, kFiveVolts, kSignalSize) == 0) return "5.0";
  if (std::memcmp(value, kZeroVolts, kSignalSize) == 0) return "0.0";
  Encoding encoding;
  std::memcpy(&encoding.significand, value, 8);
  std::memcpy(&encoding.signAndExponent, value + 8, 2);
  char text[32];
  std::snprintf(text, sizeof text, "%04x:%016llx", unsigned(encoding.signAndExponent),
                static_cast<unsigned long long>(encoding.significand));
  return text;
}

namespace {

// Bytes a random block is made of: mostly what settings texts hold, now
// and then any byte but 'E'.
char RandomByte(FuzzRandom& random) {
  static const char kText[] = "0123456789 +-.,;:=/abcdefxyzABCDFXYZ\r\n\t";
  if (!random.OneIn(6)) return kText[random.Below(sizeof kText - 1)];
  const char byte = char(random.Below(256));
  return byte == 'E' ? 'e' : byte;
}

// Numbers a setting may be given.
std::string RandomNumber(FuzzRandom& random) {
  static const char* const kNumbers[] = {// every width and flag, and their neighbours
                                         "0", "1", "2", "3", "4", "5", "7", "8", "9", "15", "16", "17", "32",
                                         // signs, leading zeros and blanks
                                         "-1", "-4", "+8", "08", " 16",
                                         // the limits of the integer types and past them
                                         "255", "256", "65536", "2147483647", "2147483648", "-2147483649", "4294967296",
                                         "99999999999999999999",
                                         // no plain number
                                         "4.5", "0x10", "1e3", ""};
  return kNumbers[random.Below(sizeof kNumbers / sizeof *kNumbers)];
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string NumbersChanged(FuzzRandom& random, const std::string& body) {
  std::string changed;
  for (std::size_t k = 0; k < body.size();) {
    if (!IsDigit(body[k])) {
      changed += body[k++];
      continue;
    }
    while (k < body.size() && IsDigit(body[k])) ++k;
    changed += RandomNumber(random);
  }
  return changed;
}

std::vector<std::string> LinesOf(const std::string& body) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < body.size();) {
    const std::size_t end = body.find('\n', at);
    const std::size_t next = end == std::string::npos ? body.size() : end + 1;
    lines.push_back(body.substr(at, next - at));
    at = next;
  }
  return lines;
}

std::string LinesDroppedOrRepeated(FuzzRandom& random, const std::string& body) {
  std::string changed;
  for (const std::string& line : LinesOf(body)) {
    if (random.OneIn(3)) continue;
    changed += line;
    if (random.OneIn(3)) changed += line;
  }
  if (random.OneIn(2)) changed += RandomNumber(random) + "\r\n";
  return changed;
}

std::string RandomBytes(FuzzRandom& random) {
  std::string bytes(random.Below(48), ' ');
  for (char& byte : bytes) byte = RandomByte(random);
  return bytes;
}

// The start of the marker, never the whole of it.
std::string MarkerBegun(FuzzRandom& random) {
  return std::string(kEndMarker).substr(0, 1 + random.Below(std::uint32_t(kEndMarkerSize - 1)));
}

}  // namespace

FuzzBlock RandomBlock(FuzzRandom& random, const std::string& valid) {
  const std::string body = EndsWithMarker(valid) ? valid.substr(0, valid.size() - kEndMarkerSize) : valid;
  FuzzBlock block;
  switch (random.Below(4)) {
    case 0:
      block.bytes = body;
      block.kind = "valid";
      break;
    case 1:
      block.bytes = NumbersChanged(random, body);
      block.kind = "numbers changed";
      break;
    case 2:
      block.bytes = LinesDroppedOrRepeated(random, body);
      block.kind = "lines dropped or repeated";
      break;
    default:
      block.bytes = RandomBytes(random);
      block.kind = "random bytes";
      break;
  }
  switch (random.Below(8)) {
    case 0:
      block.withMarker = false;
      if (random.OneIn(2)) block.bytes += MarkerBegun(random);
      block.kind += ", the file ending before the marker";
      break;
    case 1:
      block.bytes += MarkerBegun(random) + kEndMarker;
      block.kind += ", a marker begun before the marker";
      break;
    default:
      block.bytes += kEndMarker;
      break;
  }
  return block;
}

}  // namespace host
