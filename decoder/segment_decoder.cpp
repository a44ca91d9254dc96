#include "segment_decoder.h"

#include <cstring>
#include <istream>
#include <ostream>

#include "persistence.h"

// A new decoder does not ask for a delay.
SegmentDecoder::SegmentDecoder() : delayFlag(0) {
  std::memcpy(inputLabels, "1248", 5);
  std::memcpy(outputLabels, "abcdefg", 8);
}

void SegmentDecoder::WriteSettings(std::ostream& text) const { text << delayFlag << "\r\n"; }

void SegmentDecoder::ReadSettings(std::istream& text) { frame::ExtractSetting(text, delayFlag); }
