// What the frame needs to know about the Tamberlo deliverable.
#pragma once

#include "ids.h"
#include "segment_decoder.h"
#include "settings.h"

struct Plugin {
  using Component = SegmentDecoder;
  // Tamberlo's dialogs are owned by the host's window.
  static constexpr bool kKeepsHostWindow = true;
  static constexpr bool kRefillsPinInfoAfterDialog = true;

  static constexpr frame::Setting<Component> kSettings[] = {
      frame::DelayFlag(&Component::delayFlag).WithControlId(PLUGIN_DELAY_BOX),
  };

  // The help path is built as the dialog opens. Tamberlo's own layout.
  static constexpr frame::Placed kDialogControls[] = {
      frame::OkButton({94, 7, 50, 14}),
      frame::CancelButton({94, 24, 50, 14}),
      frame::HelpButton({94, 42, 50, 16}),
      frame::ControlOf("delay", {7, 7, 79, 10}),
  };
  static constexpr frame::Dialog kDialog =
      frame::Dialog{PLUGIN_DIALOG, "Eigenschaften des Tamberlos", PLUGIN_HELP_TOPIC}.LaidOut(151, 65, kDialogControls);
};
