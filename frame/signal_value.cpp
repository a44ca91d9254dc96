#include "signal_value.h"

namespace frame {
namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr std::uint64_t kIntegerBit = 1ull << 63;
constexpr std::uint64_t kFractionMask = (1ull << 52) - 1;
constexpr std::uint64_t kDoubleQuietBit = 1ull << 51;
constexpr std::uint64_t kDoubleInfinity = 0x7FFull << 52;

struct Extended {
  std::uint64_t significand;
  unsigned exponent;  // biased, 15 bits
  bool negative;
};

Extended Unpack(const unsigned char* bytes) {
  Extended x;
  x.significand = 0;
  for (int i = 7; i >= 0; --i) x.significand = (x.significand << 8) | bytes[i];
  unsigned signAndExponent = bytes[8] | (unsigned(bytes[9]) << 8);
  x.exponent = signAndExponent & 0x7FFF;
  x.negative = (signAndExponent & 0x8000) != 0;
  return x;
}

void Pack(std::uint64_t significand, unsigned exponent, bool negative, unsigned char* bytes) {
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(significand >> (8 * i));
  unsigned signAndExponent = exponent | (negative ? 0x8000u : 0u);
  bytes[8] = static_cast<unsigned char>(signAndExponent);
  bytes[9] = static_cast<unsigned char>(signAndExponent >> 8);
}

// Keeps the bits of `value` above `shift` (1..64), rounding the dropped
// ones to nearest, ties to even.
std::uint64_t ShiftRightRounded(std::uint64_t value, int shift) {
  if (shift >= 64) {
    // Only shift 64 can round up: the kept part is 0, the dropped part all
    // of `value`, and a tie goes to the even 0.
    return (shift == 64 && value > kIntegerBit) ? 1 : 0;
  }
  std::uint64_t kept = value >> shift;
  std::uint64_t dropped = value & ((1ull << shift) - 1);
  std::uint64_t half = 1ull << (shift - 1);
  if (dropped > half || (dropped == half && (kept & 1))) ++kept;
  return kept;
}

// The quiet NaN the floating-point unit makes of an extended NaN: the top
// fraction bits carried over, the quiet bit set.
std::uint64_t QuietNaN(const Extended& x) {
  std::uint64_t payload = (x.significand & ~kIntegerBit) >> 11;
  return kDoubleInfinity | kDoubleQuietBit | (payload & kFractionMask);
}

std::uint64_t ToDoubleBits(const Extended& x) {
  const bool integerBit = (x.significand & kIntegerBit) != 0;
  if (x.exponent == 0x7FFF) {
    if (!integerBit) return QuietNaN(x);                    // pseudo-NaN, pseudo-infinity
    if ((x.significand << 1) == 0) return kDoubleInfinity;  // infinity
    return QuietNaN(x);
  }
  if (x.exponent == 0) {
    // Zero, denormal or pseudo-denormal: at most 2^-16382, far below half
    // the smallest double denormal, so it rounds to zero.
    return 0;
  }
  if (!integerBit) return QuietNaN(x);  // unnormal
  const int exponent = int(x.exponent) - kExtendedBias;
  if (exponent > kDoubleBias) return kDoubleInfinity;
  if (exponent >= 1 - kDoubleBias) {
    std::uint64_t significand = ShiftRightRounded(x.significand, 11);  // 53 bits, may carry to 54
    int biased = exponent + kDoubleBias;
    if (significand >> 53) {
      significand >>= 1;
      ++biased;
    }
    if (biased >= 0x7FF) return kDoubleInfinity;
    return (std::uint64_t(biased) << 52) | (significand & kFractionMask);
  }
  // Below the normal range: a denormal in units of 2^-1074. A carry into bit
  // 52 makes the smallest normal, which the same bit pattern expresses.
  const int shift = 11 + (1 - kDoubleBias - exponent);
  return ShiftRightRounded(x.significand, shift);
}

}  // namespace

void ReadSignalValue(const unsigned char* extended, double* value) {
  const Extended x = Unpack(extended);
  std::uint64_t bits = ToDoubleBits(x);
  if (x.negative) bits |= 1ull << 63;
  std::memcpy(value, &bits, sizeof bits);
}

void WriteSignalValue(const double& value, unsigned char* extended) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const unsigned biased = unsigned(bits >> 52) & 0x7FF;
  const std::uint64_t fraction = bits & kFractionMask;
  if (biased == 0x7FF) {
    Pack(kIntegerBit | (fraction << 11), 0x7FFF, negative, extended);
  } else if (biased != 0) {
    Pack(kIntegerBit | (fraction << 11), biased - kDoubleBias + kExtendedBias, negative, extended);
  } else if (fraction == 0) {
    Pack(0, 0, negative, extended);
  } else {
    // Double denormal: normalise; every one is a normal extended number.
    int leadingZeros = 0;
    while (!((fraction << leadingZeros) & kIntegerBit)) ++leadingZeros;
    const int exponent = kExtendedBias + 63 - 1074 - leadingZeros;
    Pack(fraction << leadingZeros, unsigned(exponent), negative, extended);
  }
}

}  // namespace frame
