// What the frame needs to know about the Morrel deliverable.
#pragma once

#include "dialog_values.h"
#include "ids.h"
#include "shift_register.h"

struct Plugin {
  using Component = ShiftRegister;
  // Morrel's dialogs are owned by the host's window.
  static constexpr bool kRecordsHostWindow = true;
  // No setting changes the pins, and Morrel leaves the host's record alone
  // after its dialog.
  static constexpr bool kRefillsPinInfoAfterDialog = false;

  // The properties dialog: the width list ("4", "8", "16", from the
  // resource of the template's id), then the delay check box; the help path
  // built as the dialog opens.
  static constexpr frame::ExchangedControl<Component::DialogValues> kDialogControls[] = {
      {PLUGIN_WIDTH_LIST, frame::Exchange::kComboIndex, &Component::DialogValues::widthIndex},
      {PLUGIN_DELAY_BOX, frame::Exchange::kCheckBox, &Component::DialogValues::delayChecked},
  };
  static constexpr frame::DialogDescription<Component::DialogValues> kDialog{
      PLUGIN_DIALOG, kDialogControls, PLUGIN_HELP_TOPIC, frame::HelpPathBuilt::kPerDialog};
};
