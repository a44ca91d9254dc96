// A dialog window's controls read as its user reads them, and the user's
// clicks and picks on it; dialog_closer.h closes it. Runs on the dialog's own
// thread, from within its modal loop.
#pragma once

#include <windows.h>

#include <vector>

#include "dialog_form.h"

namespace host {

// The visible controls, in the order of the dialog's children, with the
// window of each.
struct DialogWindow {
  std::vector<DialogControl> controls;
  std::vector<HWND> windows;
};
DialogWindow ReadDialog(HWND dialog);

// As the user does it: a click on a button, or a pick from a list that
// tells the dialog of the new selection as a real pick does.
void Perform(HWND dialog, const DialogWindow& window, const DialogAction& action);

}  // namespace host
