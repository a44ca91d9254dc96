// The host's signal values and the voltage convention of every component.
//
// The host passes pin values as x87 double-extended numbers, 10 bytes each,
// packed without gaps; components work on doubles. The conversions here are
// done in integer arithmetic: they never touch the floating-point unit, so
// they cannot trap when the host runs with floating-point exceptions
// unmasked, and the level test always sees the correctly rounded double
// (never a value still held with 80-bit precision in a register). They give
// bit for bit what the x87 unit stores with its default control word.
//
// Every evaluation converts each input and output once, so the values it
// sees nearly always (zero, a normal value in the double's range; outputs
// 5.0 and 0.0) are converted inline; every other encoding goes to the
// functions that handle them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace frame {

constexpr std::size_t kSignalValueSize = 10;

// Extended to double, rounded to nearest even, for any encoding. Encodings
// the x87 refuses (unnormals, pseudo-NaNs, pseudo-infinities) become its
// default NaN; other NaNs come out quiet with the top of their payload.
// Doubles pass as their bits, in integer registers: the conversions leave
// no value behind in memory that the compiler would have to keep there.
std::uint64_t ReadAnySignalValue(const unsigned char* extended);

// Double to extended, exact, for any double; a NaN comes out quiet.
void WriteAnySignalValue(std::uint64_t value, unsigned char* extended);

// A normal extended value whose exponent lies in the double's normal
// range: its top 53 significand bits, rounded to nearest even on the 11
// below them. The integer bit lands on the lowest exponent bit, hence the
// exponent less one; a carry out of the significand runs on into the
// exponent, as far as infinity, as rounding wants it.
constexpr unsigned kLowestNormalExponent = 16383 - 1022;  // of the double, in extended bias
constexpr unsigned kHighestNormalExponent = 16383 + 1023;
inline std::uint64_t RoundedNormalBits(std::uint64_t significand, unsigned exponent) {
  const std::uint64_t kept = significand >> 11;
  const unsigned dropped = unsigned(significand) & 0x7FF;
  const unsigned roundUp = (dropped + 0x3FF + unsigned(kept & 1)) >> 11;  // above half, or half and odd
  return (std::uint64_t(exponent - kLowestNormalExponent) << 52) + kept + roundUp;
}

inline void ReadSignalValue(const unsigned char* extended, double* value) {
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, extended, 8);
  std::memcpy(&signAndExponent, extended + 8, 2);
  const unsigned exponent = signAndExponent & 0x7FFFu;
  const std::uint64_t sign = std::uint64_t(signAndExponent & 0x8000u) << 48;
  std::uint64_t bits;
  if (exponent == 0)
    bits = sign;  // zero, or far below half the smallest double denormal
  else if (exponent - kLowestNormalExponent <= kHighestNormalExponent - kLowestNormalExponent && (significand >> 63))
    bits = sign | RoundedNormalBits(significand, exponent);
  else
    bits = ReadAnySignalValue(extended);
  std::memcpy(value, &bits, sizeof bits);
}

// The output levels' doubles and their host patterns.
constexpr std::uint64_t kFiveVoltsBits = 0x4014000000000000ull;
constexpr unsigned char kFiveVoltsPattern[kSignalValueSize] = {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0x40};

inline void WriteSignalValue(const double& value, unsigned char* extended) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  if (bits == kFiveVoltsBits)
    std::memcpy(extended, kFiveVoltsPattern, kSignalValueSize);
  else if (bits == 0)
    std::memset(extended, 0, kSignalValueSize);
  else
    WriteAnySignalValue(bits, extended);
}

// Logic 1 when the value is strictly greater than 2.5. NaN, 2.5 itself and
// anything negative are logic 0. Decided on the bit pattern: for doubles with
// the sign bit clear the bit patterns order like the values, infinity
// included, and every NaN lies above infinity.
inline int LogicLevel(const double& value) {
  constexpr std::uint64_t kThreshold = 0x4004000000000000ull;  // 2.5
  constexpr std::uint64_t kInfinity = 0x7FF0000000000000ull;
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits > kThreshold && bits <= kInfinity ? 1 : 0;
}

// Drives an output to the voltage of a logic level, 5.0 or 0.0. The
// double's bits are stored as integers: an evaluation never loads a value
// into the floating-point unit, whose stack and flags are the host's.
inline void SetLevelVoltage(double& output, int level) {
  const std::uint64_t bits = level ? kFiveVoltsBits : 0;
  std::memcpy(&output, &bits, sizeof bits);
}

}  // namespace frame
