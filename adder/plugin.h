// What the frame needs to know about the Quenvik deliverable.
#pragma once

#include "dialog_values.h"
#include "full_adder.h"
#include "ids.h"

struct Plugin {
  using Component = FullAdder;
  // Quenvik leaves the library's main window empty.
  static constexpr bool kRecordsHostWindow = false;
  static constexpr bool kRefillsPinInfoAfterDialog = true;

  // The properties dialog: the delay check box; the help path built anew at
  // every click of "Hilfe".
  static constexpr frame::ExchangedControl<Component::DialogValues> kDialogControls[] = {
      {PLUGIN_DELAY_BOX, frame::Exchange::kCheckBox, &Component::DialogValues::delayChecked},
  };
  static constexpr frame::DialogDescription<Component::DialogValues> kDialog{
      PLUGIN_DIALOG, kDialogControls, PLUGIN_HELP_TOPIC, frame::HelpPathBuilt::kPerClick};
};
