#include "full_adder.h"

#include <cstring>

FullAdder::FullAdder() : delayFlag(0) {
  std::memcpy(inputLabels, "AB\xDC", 4);
  std::memcpy(outputLabels, "S\xDC", 3);
}
