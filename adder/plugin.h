// What the frame needs to know about the Quenvik deliverable.
#pragma once

#include "dialog_values.h"
#include "full_adder.h"

struct Plugin {
  using Component = FullAdder;
  // Quenvik leaves the library's main window empty.
  static constexpr bool kRecordsHostWindow = false;
  static constexpr bool kRefillsPinInfoAfterDialog = true;

  // The properties dialog: the delay check box; help topic 300, the help
  // path built anew at every click of "Hilfe".
  static constexpr frame::ExchangedControl kDialogControls[] = {
      {2015, frame::Exchange::kCheckBox, &frame::DialogValues::delayChecked},
  };
  static constexpr frame::DialogDescription kDialog{2003, kDialogControls, 300, frame::HelpPathBuilt::kPerClick};
};
