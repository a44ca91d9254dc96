// What the frame needs to know about the Tamberlo deliverable.
#pragma once

#include "segment_decoder.h"

struct Plugin {
  using Component = SegmentDecoder;
  // Tamberlo's dialogs are owned by the host's window.
  static constexpr bool kRecordsHostWindow = true;
  static constexpr bool kRefillsPinInfoAfterDialog = true;
};
