// The host's signal values and the voltage convention of every component.
//
// The host passes pin values as x87 double-extended numbers, 10 bytes each,
// packed without gaps; components work on doubles. The conversions here are
// done in integer arithmetic: they never touch the floating-point unit, so
// they cannot trap when the host runs with floating-point exceptions
// unmasked, and the level test always sees the correctly rounded double
// (never a value still held with 80-bit precision in a register).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace frame {

constexpr std::size_t kSignalValueSize = 10;

// Extended to double, rounded to nearest even. Encodings the x87 treats as
// invalid (unnormals, pseudo-NaNs, pseudo-infinities) become a quiet NaN.
void ReadSignalValue(const unsigned char* extended, double* value);

// Double to extended; exact.
void WriteSignalValue(const double& value, unsigned char* extended);

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

// The voltage an output is driven to for a logic level.
inline double LevelVoltage(int level) { return level ? 5.0 : 0.0; }

}  // namespace frame
