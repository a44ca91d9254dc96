#include "signal_encoding.h"

#include <algorithm>
#include <cstdint>

namespace host {
namespace {

constexpr std::uint64_t kIntegerBit = 1ull << 63;
constexpr std::uint64_t kDefaultNaN = 0xFFF8000000000000ull;  // the x87's "indefinite"

// Decoding works on the bits; this keeps the returns below readable.
constexpr std::uint64_t FromBits(std::uint64_t bits) { return bits; }

// m / 2^shift rounded to nearest, ties to even; shift may exceed 63.
std::uint64_t ShiftRounded(std::uint64_t m, int shift) {
  if (shift <= 0) return m;
  if (shift > 64) return 0;
  const std::uint64_t kept = shift == 64 ? 0 : m >> shift;
  const std::uint64_t rest = shift == 64 ? m : m & ((1ull << shift) - 1);
  const std::uint64_t half = 1ull << (shift - 1);
  return kept + (rest > half || (rest == half && (kept & 1)));
}

int HighestBit(std::uint64_t m) { return 63 - __builtin_clzll(m); }

}  // namespace

double DecodeSignalInIntegers(const unsigned char* value) {
  const std::uint64_t bits = DecodeSignalBits(value);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::uint64_t DecodeSignalBits(const unsigned char* value) {
  std::uint64_t m;
  std::uint16_t signAndExponent;
  std::memcpy(&m, value, 8);
  std::memcpy(&signAndExponent, value + 8, 2);
  const std::uint64_t sign = std::uint64_t(signAndExponent >> 15) << 63;
  const int exponent = signAndExponent & 0x7FFF;
  if (exponent == 0x7FFF) {
    if (!(m & kIntegerBit)) return FromBits(kDefaultNaN);  // pseudo-infinity, pseudo-NaN
    if (!(m << 1)) return FromBits(sign | 0x7FF0000000000000ull);
    return FromBits(sign | 0x7FF8000000000000ull | ((m >> 11) & 0x000FFFFFFFFFFFFFull));  // quieted
  }
  if (exponent != 0 && !(m & kIntegerBit)) return FromBits(kDefaultNaN);  // unnormal
  if (m == 0) return FromBits(sign);
  // value = m * 2^(e - 16383 - 63), denormals taking e = 1
  const int power = HighestBit(m) + (exponent ? exponent : 1) - 16383 - 63;
  if (power > 1023) return FromBits(sign | 0x7FF0000000000000ull);
  if (power >= -1022) {
    std::uint64_t mantissa = ShiftRounded(m, HighestBit(m) - 52) << (52 - std::min(HighestBit(m), 52));
    int biased = power + 1023;
    if (mantissa >> 53) {  // rounded up to the next power of two
      mantissa >>= 1;
      if (++biased == 0x7FF) return FromBits(sign | 0x7FF0000000000000ull);
    }
    return FromBits(sign | std::uint64_t(biased) << 52 | (mantissa & 0x000FFFFFFFFFFFFFull));
  }
  // Below the normal range: units of 2^-1074, which may round up to the
  // smallest normal number, whose bits follow on naturally.
  const int shift = (exponent ? exponent : 1) - 16383 - 63 + 1074;  // value = m * 2^shift units
  return FromBits(sign | ShiftRounded(m, -shift));
}

void EncodeSignalInIntegers(double volts, unsigned char* value) {
  std::uint64_t bits;
  std::memcpy(&bits, &volts, 8);
  const std::uint16_t sign = std::uint16_t(bits >> 63) << 15;
  const int exponent = int(bits >> 52) & 0x7FF;
  const std::uint64_t mantissa = bits & 0x000FFFFFFFFFFFFFull;
  std::uint64_t m = 0;
  int e = 0;
  if (exponent == 0x7FF) {
    m = kIntegerBit | mantissa << 11 | (mantissa ? 1ull << 62 : 0);  // a NaN comes out quiet
    e = 0x7FFF;
  } else if (exponent != 0) {
    m = kIntegerBit | mantissa << 11;
    e = exponent - 1023 + 16383;
  } else if (mantissa != 0) {
    m = mantissa << (63 - HighestBit(mantissa));
    e = HighestBit(mantissa) - 1074 + 16383;
  }
  const std::uint16_t top = std::uint16_t(sign | e);
  std::memcpy(value, &m, 8);
  std::memcpy(value + 8, &top, 2);
}

}  // namespace host
