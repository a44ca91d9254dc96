#include "shift_register.h"

#include <cstring>

// The register starts empty rather than with whatever the storage held.
ShiftRegister::ShiftRegister() : width(4), cells{}, delayFlag(1) {
  std::memcpy(inputLabels, "C&LCFS", 7);
  std::memcpy(outputLabels, "O", 2);
}
