// A test part with one setting of every kind the frame offers, laid out by
// the frame: radio buttons, a list and a check box, besides the delay flag.
// Its output shows the settings, so a test sees what the dialog stored in
// the block and in the part's behaviour alike.
#pragma once

#include <cstdint>

#include "signal_value.h"
#include "windows1252.h"

struct Plugin;

class Counter {
 public:
  static constexpr frame::Text kDisplayName{"Zähler für Tests"};
  static constexpr int InputCount() { return 1; }
  static constexpr int OutputCount() { return 1; }
  static constexpr frame::Names kInputNames{"Takt"};
  static constexpr frame::Names kOutputNames{"Übertrag"};

  const char* InputLabels() const { return "T"; }
  const char* OutputLabels() const { return "Q"; }

  void EvaluateInitial(const double* inputs, double* outputs) { Evaluate(inputs, outputs); }
  void Evaluate(const double* inputs, double* outputs) const {
    frame::SetLevelVoltage(outputs[0], enabled && frame::LogicLevel(inputs[0]));
  }

 private:
  friend struct Plugin;

  std::int32_t direction = 1;
  std::int32_t step = 4;
  std::int32_t enabled = 1;
  std::int32_t delayFlag = 0;
};
