// How the properties dialog exchanges a value with one of its controls, and
// what the dialog code needs to know besides. Free of the platform.
#pragma once

#include <cstdint>

#include "settings.h"

namespace frame {

enum class Exchange {
  kCheckBox,    // ticked or not: a value other than 0 shows the box ticked, saving gives 1 or 0
  kComboIndex,  // index of the selected list item; an index that names no item selects none
  kRadioIndex,  // index of the checked button of a group; saving gives -1 when none is checked
};

constexpr Exchange ExchangeOf(Control control) {
  return control == Control::kCheckBox ? Exchange::kCheckBox
         : control == Control::kList   ? Exchange::kComboIndex
                                       : Exchange::kRadioIndex;
}

// What the dialog code needs besides the controls.
struct DialogLayout {
  int templateId;  // of the dialog, and of its list items where it has any
  std::uint32_t helpContext;
  HelpPathBuilt helpPath;
};

}  // namespace frame
