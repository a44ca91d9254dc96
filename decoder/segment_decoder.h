// Tamberlo: decoder from a 4-bit code to the seven segments of a display
// that shows the code as one hexadecimal digit. No state between
// evaluations. Its one setting, the delay flag, is only stored, reported and
// persisted: the host applies any delay itself.
#pragma once

#include <cstdint>

#include "signal_value.h"
#include "windows1252.h"

struct Plugin;

class SegmentDecoder {
 public:
  static constexpr frame::Text kDisplayName{"BCD-Anzeige"};

  static constexpr int InputCount() { return 4; }
  static constexpr int OutputCount() { return 7; }
  // Input pin i carries the code bit of weight 2^i.
  static constexpr frame::Names kInputNames{"Erstes Bit", "Zweites Bit", "Drittes Bit", "Viertes Bit"};
  // The segments run through the display row by row, top down and left to
  // right within a row: top, upper left, upper right, middle, lower left,
  // lower right, bottom.
  static constexpr frame::Names kOutputNames{"1. von 7 Segmenten", "2. von 7 Segmenten", "3. von 7 Segmenten",
                                             "4. von 7 Segmenten", "5. von 7 Segmenten", "6. von 7 Segmenten",
                                             "7. von 7 Segmenten"};

  SegmentDecoder();

  const char* InputLabels() const { return inputLabels; }
  const char* OutputLabels() const { return outputLabels; }

  // The display stays dark until the first ordinary evaluation of a run.
  void EvaluateInitial(const double* inputs, double* outputs) const;
  void Evaluate(const double* inputs, double* outputs) const;

 private:
  friend struct Plugin;  // which declares the settings

  char inputLabels[67];
  char outputLabels[49];
  std::int32_t delayFlag;
};

// One row per code, the segments in output pin order. Every code has a row,
// so every evaluation drives all seven outputs.
inline constexpr unsigned char kSegmentsOfCode[16][SegmentDecoder::OutputCount()] = {
    // top, upper left, upper right, middle, lower left, lower right, bottom
    {1, 1, 1, 0, 1, 1, 1},  // 0
    {0, 0, 1, 0, 0, 1, 0},  // 1
    {1, 0, 1, 1, 1, 0, 1},  // 2
    {1, 0, 1, 1, 0, 1, 1},  // 3
    {0, 1, 1, 1, 0, 1, 0},  // 4
    {1, 1, 0, 1, 0, 1, 1},  // 5
    {1, 1, 0, 1, 1, 1, 1},  // 6, with its top segment
    {1, 0, 1, 0, 0, 1, 0},  // 7, top and both right segments only
    {1, 1, 1, 1, 1, 1, 1},  // 8
    {1, 1, 1, 1, 0, 1, 1},  // 9, with its bottom segment
    {1, 1, 1, 1, 1, 1, 0},  // A
    {0, 1, 0, 1, 1, 1, 1},  // b
    {1, 1, 0, 0, 1, 0, 1},  // C
    {0, 0, 1, 1, 1, 1, 1},  // d
    {1, 1, 0, 1, 1, 0, 1},  // E
    {1, 1, 0, 1, 1, 0, 0},  // F
};

inline void SegmentDecoder::EvaluateInitial(const double*, double* outputs) const {
  for (int j = 0; j < OutputCount(); ++j) frame::SetLevelVoltage(outputs[j], 0);
}

inline void SegmentDecoder::Evaluate(const double* inputs, double* outputs) const {
  int code = 0;
  for (int i = 0; i < InputCount(); ++i) code |= frame::LogicLevel(inputs[i]) << i;
  for (int j = 0; j < OutputCount(); ++j) frame::SetLevelVoltage(outputs[j], kSegmentsOfCode[code][j]);
}
