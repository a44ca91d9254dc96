// Quenvik: one-bit full adder. Sum and carry of two summands and a carry
// input; no state between evaluations. Its one setting, the delay flag, is
// only stored, reported and persisted: the host applies any delay itself.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "dialog_values.h"
#include "signal_value.h"

class FullAdder {
 public:
  static constexpr const char* kDisplayName = "Quenvik";

  static constexpr int InputCount() { return 3; }
  static constexpr int OutputCount() { return 2; }
  static constexpr const char* kInputNames[] = {"Summand A", "Summand B", ("\xDC" "bertrag")};
  static constexpr const char* kOutputNames[] = {"Summe S", ("\xDC" "bertrag")};

  FullAdder();

  const char* InputLabels() const { return inputLabels; }
  const char* OutputLabels() const { return outputLabels; }

  // The outputs are valid from the first cycle of a run: both entry points
  // apply the same rule. Defined in this header, so that the frame's
  // evaluation cycle compiles the rule in between its conversions.
  void EvaluateInitial(const double* inputs, double* outputs) const { Evaluate(inputs, outputs); }
  void Evaluate(const double* inputs, double* outputs) const {
    const int highInputs =
        frame::LogicLevel(inputs[0]) + frame::LogicLevel(inputs[1]) + frame::LogicLevel(inputs[2]);
    frame::SetLevelVoltage(outputs[0], highInputs & 1);   // sum: odd count
    frame::SetLevelVoltage(outputs[1], highInputs >= 2);  // carry: at least two
  }

  std::int32_t HasDelay() const { return delayFlag; }
  void WriteSettings(std::ostream& text) const;
  void ReadSettings(std::istream& text);

  // The properties dialog edits the delay flag; after OK it is 0 or 1.
  void CopyToDialog(frame::DialogValues& values) const { values.delayChecked = delayFlag; }
  void CopyFromDialog(const frame::DialogValues& values) { delayFlag = values.delayChecked; }

 private:
  char inputLabels[9];
  char outputLabels[11];
  std::int32_t delayFlag;
};
