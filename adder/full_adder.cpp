#include "full_adder.h"

#include <cstring>
#include <istream>
#include <ostream>

#include "persistence.h"
#include "signal_value.h"

FullAdder::FullAdder() : delayFlag(0) {
  std::memcpy(inputLabels, "AB\xDC", 4);
  std::memcpy(outputLabels, "S\xDC", 3);
}

void FullAdder::Evaluate(const double* inputs, double* outputs) const {
  const int highInputs = frame::LogicLevel(inputs[0]) + frame::LogicLevel(inputs[1]) + frame::LogicLevel(inputs[2]);
  frame::SetLevelVoltage(outputs[0], highInputs & 1);   // sum: odd count
  frame::SetLevelVoltage(outputs[1], highInputs >= 2);  // carry: at least two
}

void FullAdder::WriteSettings(std::ostream& text) const { text << delayFlag << "\r\n"; }

void FullAdder::ReadSettings(std::istream& text) { frame::ExtractSetting(text, delayFlag); }
