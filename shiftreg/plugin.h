// What the frame needs to know about the Morrel deliverable.
#pragma once

#include "dialog_values.h"
#include "shift_register.h"

struct Plugin {
  using Component = ShiftRegister;
  // Morrel's dialogs are owned by the host's window.
  static constexpr bool kRecordsHostWindow = true;
  // No setting changes the pins, and Morrel leaves the host's record alone
  // after its dialog.
  static constexpr bool kRefillsPinInfoAfterDialog = false;

  // The properties dialog: the width list ("4", "8", "16", from the
  // resource of the template's id), then the delay check box; help topic
  // 101, the help path built as the dialog opens.
  static constexpr frame::ExchangedControl kDialogControls[] = {
      {2010, frame::Exchange::kComboIndex, &frame::DialogValues::widthIndex},
      {2019, frame::Exchange::kCheckBox, &frame::DialogValues::delayChecked},
  };
  static constexpr frame::DialogDescription kDialog{2008, kDialogControls, 101, frame::HelpPathBuilt::kPerDialog};
};
