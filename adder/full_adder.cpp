#include "full_adder.h"

#include <cstring>

#include "signal_value.h"

FullAdder::FullAdder() : delayFlag(0) {
  std::memcpy(inputLabels, "AB\xDC", 4);
  std::memcpy(outputLabels, "S\xDC", 3);
}

void FullAdder::Evaluate(const double* inputs, double* outputs) const {
  const int highInputs = frame::LogicLevel(inputs[0]) + frame::LogicLevel(inputs[1]) + frame::LogicLevel(inputs[2]);
  outputs[0] = frame::LevelVoltage(highInputs & 1);   // sum: odd count
  outputs[1] = frame::LevelVoltage(highInputs >= 2);  // carry: at least two
}
