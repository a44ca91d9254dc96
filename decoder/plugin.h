// What the frame needs to know about the Tamberlo deliverable.
#pragma once

#include "dialog_values.h"
#include "ids.h"
#include "segment_decoder.h"

struct Plugin {
  using Component = SegmentDecoder;
  // Tamberlo's dialogs are owned by the host's window.
  static constexpr bool kRecordsHostWindow = true;
  static constexpr bool kRefillsPinInfoAfterDialog = true;

  // The properties dialog: the delay check box; the help path built as the
  // dialog opens.
  static constexpr frame::ExchangedControl<Component::DialogValues> kDialogControls[] = {
      {PLUGIN_DELAY_BOX, frame::Exchange::kCheckBox, &Component::DialogValues::delayChecked},
  };
  static constexpr frame::DialogDescription<Component::DialogValues> kDialog{
      PLUGIN_DIALOG, kDialogControls, PLUGIN_HELP_TOPIC, frame::HelpPathBuilt::kPerDialog};
};
