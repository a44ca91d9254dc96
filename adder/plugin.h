// What the frame needs to know about the Quenvik deliverable.
#pragma once

#include "full_adder.h"
#include "ids.h"
#include "settings.h"

struct Plugin {
  using Component = FullAdder;
  // Quenvik leaves the library's main window empty.
  static constexpr bool kKeepsHostWindow = false;
  static constexpr bool kRefillsPinInfoAfterDialog = true;

  static constexpr frame::Setting<Component> kSettings[] = {
      frame::DelayFlag(&Component::delayFlag).WithControlId(PLUGIN_DELAY_BOX),
  };

  // The help path is built anew at every click of "Hilfe". Quenvik's own
  // layout: the check box in a group box.
  static constexpr frame::Placed kDialogControls[] = {
      frame::OkButton({102, 7, 50, 15}),
      frame::CancelButton({102, 25, 50, 15}),
      frame::HelpButton({102, 44, 50, 15}),
      frame::ControlOf("delay", {15, 21, 73, 10}),
      frame::GroupBox("Parameter", {7, 7, 87, 34}),
  };
  static constexpr frame::Dialog kDialog =
      frame::Dialog{PLUGIN_DIALOG, "Quenvik", PLUGIN_HELP_TOPIC}.BuildingHelpPathPerClick().LaidOut(159, 66,
                                                                                                    kDialogControls);
};
