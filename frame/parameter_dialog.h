// The component's properties dialog: modal, from the template in the
// plug-in's own resources. The component's settings are copied in before it
// opens and copied back only after OK.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dialog_values.h"

namespace frame {

// A control bound to the value it shows.
struct BoundControl {
  int id;
  Exchange kind;
  std::int32_t* value;
};

// Runs the dialog that `layout` names, showing the bound values. Gives 1
// after OK, with the values holding what the user chose; 2 after Cancel, Esc
// or the close box and -1 when the window cannot be created, with the values
// as they were.
int RunModalDialog(const DialogLayout& layout, const BoundControl* controls, std::size_t count);

// The same for a component's dialog values, which change only after OK.
template <class Values>
int RunModalDialog(const DialogDescription<Values>& description, Values& values) {
  Values shown = values;
  BoundControl bound[kMaxExchangedControls];
  for (std::size_t i = 0; i < description.controlCount; ++i) {
    const ExchangedControl<Values>& control = description.controls[i];
    bound[i] = {control.id, control.kind, &(shown.*control.value)};
  }
  const int result = RunModalDialog(description.layout, bound, description.controlCount);
  if (result == 1) values = shown;
  return result;
}

template <class Plugin>
void RunParameterDialog(typename Plugin::Component& component) {
  typename Plugin::Component::DialogValues values;
  component.CopyToDialog(values);
  if (RunModalDialog(Plugin::kDialog, values) == 1) component.CopyFromDialog(values);
}

}  // namespace frame
