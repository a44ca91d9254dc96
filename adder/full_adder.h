// Quenvik: one-bit full adder. Sum and carry of two summands and a carry
// input; no state between evaluations. Its one setting is the delay flag.
#pragma once

#include <cstdint>

#include "delay_flag.h"
#include "signal_value.h"

class FullAdder : public frame::DelayFlagSetting<FullAdder> {
 public:
  static constexpr const char* kDisplayName = "Quenvik";

  static constexpr int InputCount() { return 3; }
  static constexpr int OutputCount() { return 2; }
  // A table, laid out to be read.
  // clang-format off
  static constexpr const char* kInputNames[] = {"Summand A", "Summand B", ("\xDC" "bertrag")};
  static constexpr const char* kOutputNames[] = {"Summe S", ("\xDC" "bertrag")};
  // clang-format on

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
  friend class frame::DelayFlagSetting<FullAdder>;

  char inputLabels[9];
  char outputLabels[11];
  std::int32_t delayFlag;
};
