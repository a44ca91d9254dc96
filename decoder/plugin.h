// What the frame needs to know about the Tamberlo deliverable.
#pragma once

#include "dialog_values.h"
#include "segment_decoder.h"

struct Plugin {
  using Component = SegmentDecoder;
  // Tamberlo's dialogs are owned by the host's window.
  static constexpr bool kRecordsHostWindow = true;
  static constexpr bool kRefillsPinInfoAfterDialog = true;

  // The properties dialog: the delay check box; help topic 201, the help
  // path built as the dialog opens.
  static constexpr frame::ExchangedControl kDialogControls[] = {
      {2015, frame::Exchange::kCheckBox, &frame::DialogValues::delayChecked},
  };
  static constexpr frame::DialogDescription kDialog{2012, kDialogControls, 201, frame::HelpPathBuilt::kPerDialog};
};
