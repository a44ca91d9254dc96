// How the properties dialog of one deliverable is laid out: which
// template, which controls show which of the component's dialog values,
// which help topic. Free of the platform, so components can copy their
// settings in and out without knowing of windows.
//
// The values are the component's own (its DialogValues): the component
// copies its settings into them before the dialog opens and takes them back
// only after OK. Every value is a 32-bit integer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame {

enum class Exchange {
  kCheckBox,    // ticked or not: a value other than 0 shows the box ticked, saving gives 1 or 0
  kComboIndex,  // index of the selected list item; an index that names no item selects none
};

// A control and the field of `Values` it shows.
template <class Values>
struct ExchangedControl {
  int id;
  Exchange kind;
  std::int32_t Values::*value;
};

// When the path of the help file is built: once as the dialog opens, or
// anew at every click of "Hilfe".
enum class HelpPathBuilt { kPerDialog, kPerClick };

// What the dialog code needs besides the controls.
struct DialogLayout {
  int templateId;  // of the dialog, and of its list items where it has any
  std::uint32_t helpContext;
  HelpPathBuilt helpPath;
};

constexpr std::size_t kMaxExchangedControls = 16;

template <class Values>
struct DialogDescription {
  template <std::size_t N>
  constexpr DialogDescription(int templateId, const ExchangedControl<Values> (&controls)[N], std::uint32_t helpContext,
                              HelpPathBuilt helpPath)
      : layout{templateId, helpContext, helpPath}, controls(controls), controlCount(N) {
    static_assert(N <= kMaxExchangedControls, "a dialog exchanges at most kMaxExchangedControls values");
  }

  DialogLayout layout;
  const ExchangedControl<Values>* controls;  // in the order they are exchanged
  std::size_t controlCount;
};

}  // namespace frame
