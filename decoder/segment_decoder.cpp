#include "segment_decoder.h"

#include <cstring>
#include <istream>
#include <ostream>

#include "persistence.h"
#include "signal_value.h"

namespace {

// One row per code, the segments in output pin order. Every code has a row,
// so every evaluation drives all seven outputs.
constexpr unsigned char kSegments[16][SegmentDecoder::OutputCount()] = {
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

}  // namespace

// A new decoder does not ask for a delay.
SegmentDecoder::SegmentDecoder() : delayFlag(0) {
  std::memcpy(inputLabels, "1248", 5);
  std::memcpy(outputLabels, "abcdefg", 8);
}

void SegmentDecoder::EvaluateInitial(const double*, double* outputs) const {
  for (int j = 0; j < OutputCount(); ++j) frame::SetLevelVoltage(outputs[j], 0);
}

void SegmentDecoder::Evaluate(const double* inputs, double* outputs) const {
  int code = 0;
  for (int i = 0; i < InputCount(); ++i) code |= frame::LogicLevel(inputs[i]) << i;
  for (int j = 0; j < OutputCount(); ++j) frame::SetLevelVoltage(outputs[j], kSegments[code][j]);
}

void SegmentDecoder::WriteSettings(std::ostream& text) const { text << delayFlag << "\r\n"; }

void SegmentDecoder::ReadSettings(std::istream& text) { frame::ExtractSetting(text, delayFlag); }
