// What the frame needs to know about the Morrel deliverable.
#pragma once

#include "ids.h"
#include "settings.h"
#include "shift_register.h"

struct Plugin {
  using Component = ShiftRegister;
  // Morrel's dialogs are owned by the host's window.
  static constexpr bool kKeepsHostWindow = true;
  // No setting changes the pins, and Morrel leaves the host's record alone
  // after its dialog.
  static constexpr bool kRefillsPinInfoAfterDialog = false;

  // The register's width, one of three steps in the dialog; a project may
  // hold any width the register has cells for. Then the delay flag, which
  // Morrel keeps as 0 or 1.
  static constexpr frame::Item kWidths[] = {{"4", 4}, {"8", 8}, {"16", 16}};
  static constexpr frame::Setting<Component> kSettings[] = {
      frame::List("width", "&Bitbreite des Registers:", &Component::width, kWidths)
          .Accepting(1, Component::kCapacity)
          .WithControlId(PLUGIN_WIDTH_LIST),
      frame::DelayFlag(&Component::delayFlag, "&Laufzeit nachbilden").Accepting(0, 1).WithControlId(PLUGIN_DELAY_BOX),
  };

  // The help path is built as the dialog opens. Its layout is Morrel's own,
  // "Abrechen" included, in the tab order users know.
  static constexpr frame::Placed kDialogControls[] = {
      frame::OkButton({149, 7, 50, 14}),           frame::GroupBox("Parameter", {7, 7, 134, 52}),
      frame::ControlOf("width", {95, 19, 39, 50}),  // the height includes the dropped-down list
      frame::LabelOf("width", {17, 22, 72, 9}),    frame::CancelButton({149, 25, 50, 14}, "Abrechen"),
      frame::HelpButton({149, 44, 50, 14}),        frame::ControlOf("delay", {17, 41, 77, 10}),
  };
  static constexpr frame::Dialog kDialog =
      frame::Dialog{PLUGIN_DIALOG, "Serielles Schieberegister", PLUGIN_HELP_TOPIC}.LaidOut(206, 66, kDialogControls);
};
