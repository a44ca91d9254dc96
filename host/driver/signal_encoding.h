// The host's own conversion between voltages and its 10-byte signal values,
// done by the floating-point unit as a host compiled for the x87 does it.
#pragma once

#include <cstdint>
#include <cstring>

#include "plugin_interface.h"

namespace host {

// A signal array as the host hands one over: room for twice the most pins
// a part may have, and every byte nobody set at 0xEE, so that a write
// where none belongs shows.
struct SignalArray {
  static constexpr int kSlots = 2 * kMaxPins;
  static constexpr unsigned char kFill = 0xEE;

  SignalArray() { std::memset(bytes, kFill, sizeof bytes); }
  void Set(int i, const unsigned char* value) { std::memcpy(bytes + i * kSignalSize, value, kSignalSize); }
  bool Is(int i, const unsigned char* value) const {
    return std::memcmp(bytes + i * kSignalSize, value, kSignalSize) == 0;
  }
  unsigned char* Data() { return bytes; }
  const unsigned char* Data() const { return bytes; }
  bool operator==(const SignalArray& other) const { return std::memcmp(bytes, other.bytes, sizeof bytes) == 0; }
  bool operator!=(const SignalArray& other) const { return !(*this == other); }

  unsigned char bytes[kSlots * kSignalSize];
};

inline void EncodeSignal(double volts, unsigned char* value) {
  const long double wide = volts;
  std::memcpy(value, &wide, kSignalSize);
}

inline double DecodeSignal(const unsigned char* value) {
  long double wide = 0;
  std::memcpy(&wide, value, kSignalSize);
  return static_cast<double>(wide);
}

// Logic 1, decided straight from the 10 bytes: the value rounds to a double
// above 2.5. That is +infinity, every valid positive encoding from 4 up,
// and in [2, 4) a significand above 2.5 + 2^-52, the midpoint that rounds
// (ties to even) to 2.5 itself. NaNs and the encodings the x87 refuses are
// logic 0.
inline bool SignalIsHigh(const unsigned char* value) {
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, value, 8);
  std::memcpy(&signAndExponent, value + 8, 2);
  if (signAndExponent >= 0x7FFF) return signAndExponent == 0x7FFF && significand == 1ull << 63;
  if (signAndExponent > 0x4000) return significand >> 63;  // an unnormal is a NaN
  return signAndExponent == 0x4000 && significand > 0xA000000000000400ull;
}

// The host's patterns of the two output levels, 5.0 and 0.0.
constexpr unsigned char kFiveVolts[kSignalSize] = {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0x40};
constexpr unsigned char kZeroVolts[kSignalSize] = {};

inline void PutLevel(bool high, unsigned char* value) {
  std::memcpy(value, high ? kFiveVolts : kZeroVolts, kSignalSize);
}

}  // namespace host
