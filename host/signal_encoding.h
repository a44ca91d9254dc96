// The host's own conversion between voltages and its 10-byte signal values,
// done by the floating-point unit as a host compiled for the x87 does it.
#pragma once

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

}  // namespace host
