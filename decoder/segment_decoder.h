// Tamberlo: decoder from a 4-bit code to the seven segments of a display
// that shows the code as one hexadecimal digit. No state between
// evaluations. Its one setting is the delay flag.
#pragma once

#include <cstdint>

#include "delay_flag.h"

class SegmentDecoder : public frame::DelayFlagSetting<SegmentDecoder> {
 public:
  static constexpr const char* kDisplayName = "BCD-Anzeige";

  static constexpr int InputCount() { return 4; }
  static constexpr int OutputCount() { return 7; }
  // Input pin i carries the code bit of weight 2^i.
  static constexpr const char* kInputNames[] = {"Erstes Bit", "Zweites Bit", "Drittes Bit", "Viertes Bit"};
  // The segments run through the display row by row, top down and left to
  // right within a row: top, upper left, upper right, middle, lower left,
  // lower right, bottom.
  static constexpr const char* kOutputNames[] = {"1. von 7 Segmenten", "2. von 7 Segmenten",
                                                 "3. von 7 Segmenten", "4. von 7 Segmenten",
                                                 "5. von 7 Segmenten", "6. von 7 Segmenten",
                                                 "7. von 7 Segmenten"};

  SegmentDecoder();

  const char* InputLabels() const { return inputLabels; }
  const char* OutputLabels() const { return outputLabels; }

  // The display stays dark until the first ordinary evaluation of a run.
  void EvaluateInitial(const double* inputs, double* outputs) const;
  void Evaluate(const double* inputs, double* outputs) const;

 private:
  friend class frame::DelayFlagSetting<SegmentDecoder>;

  char inputLabels[67];
  char outputLabels[49];
  std::int32_t delayFlag;
};
