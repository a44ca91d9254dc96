// The host's own conversion between voltages and its 10-byte signal values,
// done by the floating-point unit as a host compiled for the x87 does it.
#pragma once

#include <cstdint>
#include <cstring>

#include "plugin_interface.h"

namespace host {

inline void EncodeSignal(double volts, unsigned char* value) {
  const long double wide = volts;
  std::memcpy(value, &wide, kSignalSize);
}

inline double DecodeSignal(const unsigned char* value) {
  long double wide = 0;
  std::memcpy(&wide, value, kSignalSize);
  return static_cast<double>(wide);
}

// The same conversions in integer arithmetic, bit for bit what the x87
// gives with its default control word (round to nearest, ties to even;
// encodings the x87 rejects become its default NaN). No floating-point
// instruction runs, so none can trap, and an emulated x87 costs nothing.
double DecodeSignalInIntegers(const unsigned char* value);
void EncodeSignalInIntegers(double volts, unsigned char* value);
// The bits of the double DecodeSignalInIntegers gives.
std::uint64_t DecodeSignalBits(const unsigned char* value);

}  // namespace host
