// What the frame needs to know about the Morrel deliverable.
#pragma once

#include "shift_register.h"

struct Plugin {
  using Component = ShiftRegister;
  // Morrel's dialogs are owned by the host's window.
  static constexpr bool kRecordsHostWindow = true;
  // No setting changes the pins, and Morrel leaves the host's record alone
  // after its dialog.
  static constexpr bool kRefillsPinInfoAfterDialog = false;
};
