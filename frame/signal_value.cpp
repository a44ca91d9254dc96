#include "signal_value.h"

namespace frame {
namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr std::uint64_t kIntegerBit = 1ull << 63;
constexpr std::uint64_t kExtendedQuietBit = 1ull << 62;
constexpr std::uint64_t kFractionMask = (1ull << 52) - 1;
constexpr std::uint64_t kDoubleQuietBit = 1ull << 51;
constexpr std::uint64_t kDoubleInfinity = 0x7FFull << 52;
constexpr std::uint64_t kDoubleSign = 1ull << 63;
// What the x87 unit stores for an operand it refuses: the "indefinite" NaN,
// sign bit set.
constexpr std::uint64_t kDefaultNaN = kDoubleSign | kDoubleInfinity | kDoubleQuietBit;

struct Extended {
  std::uint64_t significand;
  unsigned exponent;  // biased, 15 bits
  bool negative;
};

Extended Unpack(const unsigned char* bytes) {
  Extended x;
  std::uint16_t signAndExponent;
  std::memcpy(&x.significand, bytes, 8);
  std::memcpy(&signAndExponent, bytes + 8, 2);
  x.exponent = signAndExponent & 0x7FFFu;
  x.negative = (signAndExponent & 0x8000u) != 0;
  return x;
}

void Pack(std::uint64_t significand, unsigned exponent, bool negative, unsigned char* bytes) {
  const std::uint16_t signAndExponent = std::uint16_t(exponent | (negative ? 0x8000u : 0u));
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &signAndExponent, 2);
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

// The magnitude's bits; the sign is the caller's, except for the default
// NaN, which has its own.
std::uint64_t MagnitudeBits(const Extended& x) {
  const bool integerBit = (x.significand & kIntegerBit) != 0;
  if (x.exponent == 0) {
    // Zero, denormal or pseudo-denormal: at most 2^-16382, far below half
    // the smallest double denormal, so it rounds to zero.
    return 0;
  }
  if (!integerBit) return kDefaultNaN;  // unnormal, pseudo-NaN, pseudo-infinity
  if (x.exponent == 0x7FFF) {
    if ((x.significand << 1) == 0) return kDoubleInfinity;
    // A NaN comes out quiet, with the top of its payload.
    return kDoubleInfinity | kDoubleQuietBit | ((x.significand >> 11) & kFractionMask);
  }
  if (x.exponent > kHighestNormalExponent) return kDoubleInfinity;
  if (x.exponent >= kLowestNormalExponent) return RoundedNormalBits(x.significand, x.exponent);
  // Below the normal range: a denormal in units of 2^-1074. A carry into bit
  // 52 makes the smallest normal, which the same bit pattern expresses.
  const int shift = 11 + int(kLowestNormalExponent - x.exponent);
  return ShiftRightRounded(x.significand, shift);
}

}  // namespace

std::uint64_t ReadAnySignalValue(const unsigned char* extended) {
  const Extended x = Unpack(extended);
  return MagnitudeBits(x) | (x.negative ? kDoubleSign : 0);
}

void WriteAnySignalValue(std::uint64_t bits, unsigned char* extended) {
  const bool negative = (bits >> 63) != 0;
  const unsigned biased = unsigned(bits >> 52) & 0x7FF;
  const std::uint64_t fraction = bits & kFractionMask;
  if (biased == 0x7FF) {
    const std::uint64_t quiet = fraction ? kExtendedQuietBit : 0;  // infinity stays infinity
    Pack(kIntegerBit | quiet | (fraction << 11), 0x7FFF, negative, extended);
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
