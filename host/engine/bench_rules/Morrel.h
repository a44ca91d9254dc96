// The least work of one evaluation of the shift register, done inline by
// hostsim's bench for the floor it measures the DLL against: each input's
// level straight from its 10 bytes, the output from a ready pattern, and
// the register's rule on a 4-bit register, as a new part has it (bit 0 at
// the input end). Written with the host's view of the signals, as the
// bench compiles it, not the frame's.
#pragma once

#include "signal_encoding.h"

struct MorrelBenchRule {
  unsigned bits = 0;
  bool clock = false;
  void operator()(const unsigned char* in, unsigned char* out) {
    const bool clear = host::SignalIsHigh(in), clockHigh = host::SignalIsHigh(in + host::kSignalSize),
               shift = host::SignalIsHigh(in + 2 * host::kSignalSize),
               data = host::SignalIsHigh(in + 3 * host::kSignalSize);
    if (clear)
      bits = 0;
    else if (clockHigh && !clock && shift)
      bits = (bits << 1 | data) & 0xF;
    clock = clockHigh;
    host::PutLevel(bits >> 3 & 1, out);
  }
};
