// The component's properties dialog.
#pragma once

namespace frame {

// Not built yet: the dialog does nothing and the settings stay as they are.
template <class Plugin>
void RunParameterDialog(typename Plugin::Component&) {}

}  // namespace frame
