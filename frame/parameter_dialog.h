// The component's properties dialog: modal, from the template in the
// plug-in's own resources. The component's settings are copied in before it
// opens and copied back only after OK.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dialog_values.h"
#include "setting_values.h"

namespace frame {

// A control bound to the value it shows; a radio group by its first button
// and the number of its buttons, whose ids follow one another.
struct BoundControl {
  int id;
  Exchange kind;
  std::int32_t* value;
  int buttons;
};

// Runs the dialog that `layout` names, showing the bound values. Gives 1
// after OK, with the values holding what the user chose; 2 after Cancel, Esc
// or the close box and -1 when the window cannot be created, with the values
// as they were.
int RunModalDialog(const DialogLayout& layout, const BoundControl* controls, std::size_t count);

// The dialog of the part that `Plugin` declares, on one of its components,
// whose settings change only after OK.
template <class Plugin>
void RunParameterDialog(typename Plugin::Component& component) {
  DialogValues shown = CopyToDialog<Plugin>(component);
  BoundControl bound[kMaxSettings];
  std::size_t k = 0;
  for (const auto& setting : Plugin::kSettings) {
    bound[k] = {ControlIdOf(setting, k), ExchangeOf(setting.control), &shown.shown[k],
                static_cast<int>(setting.itemCount)};
    ++k;
  }
  const DialogLayout layout{Plugin::kDialog.templateId, Plugin::kDialog.helpContext, Plugin::kDialog.helpPath};
  if (RunModalDialog(layout, bound, k) == 1) CopyFromDialog<Plugin>(component, shown);
}

}  // namespace frame
