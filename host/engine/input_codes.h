// Inputs driven from the bits of a code, as the truth table, `check` and
// `bench` step through them: input i takes bit i of the code, and where a
// part has more inputs than the code has bits, bit i mod `bits`, so that
// every input still moves.
#pragma once

#include <algorithm>
#include <vector>

namespace host {

inline bool CodeBit(unsigned code, int input, int bits) { return code >> (input % std::max(bits, 1)) & 1; }

inline std::vector<double> CodeVolts(unsigned code, int inputs, int bits) {
  std::vector<double> volts;
  for (int i = 0; i < inputs; ++i) volts.push_back(CodeBit(code, i, bits) ? 5.0 : 0.0);
  return volts;
}

}  // namespace host
