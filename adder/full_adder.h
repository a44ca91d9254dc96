// Quenvik: one-bit full adder. Sum and carry of two summands and a carry
// input; no state between evaluations. Its one setting is the delay flag.
#pragma once

#include <cstdint>

#include "signal_value.h"
#include "windows1252.h"

struct Plugin;

class FullAdder {
 public:
  static constexpr frame::Text kDisplayName{"Quenvik"};

  static constexpr int InputCount() { return 3; }
  static constexpr int OutputCount() { return 2; }
  static constexpr frame::Names kInputNames{"Summand A", "Summand B", "Übertrag"};
  static constexpr frame::Names kOutputNames{"Summe S", "Übertrag"};

  FullAdder();

  const char* InputLabels() const { return inputLabels; }
  const char* OutputLabels() const { return outputLabels; }

  // The outputs are valid from the first cycle of a run: both entry points
  // apply the same rule.
  void EvaluateInitial(const double* inputs, double* outputs) const { Evaluate(inputs, outputs); }
  void Evaluate(const double* inputs, double* outputs) const {
    const int highInputs = frame::LogicLevel(inputs[0]) + frame::LogicLevel(inputs[1]) + frame::LogicLevel(inputs[2]);
    frame::SetLevelVoltage(outputs[0], highInputs & 1);   // sum: odd count
    frame::SetLevelVoltage(outputs[1], highInputs >= 2);  // carry: at least two
  }

 private:
  friend struct Plugin;  // which declares the settings

  char inputLabels[9];
  char outputLabels[11];
  std::int32_t delayFlag;
};
