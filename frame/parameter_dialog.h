// The component's properties dialog: modal, from the template in the
// plug-in's own resources. The component's settings are copied in before it
// opens and copied back only after OK.
#pragma once

#include "dialog_values.h"

namespace frame {

// Runs the dialog that `description` lays out, showing `values`. Gives 1
// after OK, with `values` holding what the user chose; 2 after Cancel, Esc
// or the close box and -1 when the window cannot be created, with `values`
// as they were.
int RunModalDialog(const DialogDescription& description, DialogValues& values);

template <class Plugin>
void RunParameterDialog(typename Plugin::Component& component) {
  DialogValues values;
  component.CopyToDialog(values);
  if (RunModalDialog(Plugin::kDialog, values) == 1) component.CopyFromDialog(values);
}

}  // namespace frame
