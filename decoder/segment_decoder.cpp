#include "segment_decoder.h"

#include <cstring>

// A new decoder does not ask for a delay.
SegmentDecoder::SegmentDecoder() : delayFlag(0) {
  std::memcpy(inputLabels, "1248", 5);
  std::memcpy(outputLabels, "abcdefg", 8);
}
