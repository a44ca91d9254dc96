// What the frame needs to know about the Quenvik deliverable.
#pragma once

#include "full_adder.h"

struct Plugin {
  using Component = FullAdder;
  // Quenvik leaves the library's main window empty.
  static constexpr bool kRecordsHostWindow = false;
  static constexpr bool kRefillsPinInfoAfterDialog = true;
};
