// What a component's properties dialog edits, and how the dialog of one
// deliverable is laid out: which template, which controls carry which value,
// which help topic. Free of the platform, so components can copy their
// settings in and out without knowing of windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame {

// The values a dialog shows and gives back. A component copies its settings
// in before the dialog opens and takes them back only after OK.
struct DialogValues {
  std::int32_t widthIndex = -1;  // selected item of a list; -1: none selected
  std::int32_t delayChecked = 0;  // the delay check box: 1 ticked, 0 not
};

enum class Exchange {
  kCheckBox,    // ticked or not: a value other than 0 shows the box ticked, saving gives 1 or 0
  kComboIndex,  // index of the selected list item; an index that names no item selects none
};

struct ExchangedControl {
  int id;
  Exchange kind;
  std::int32_t DialogValues::*value;
};

// When the path of the help file is built: once as the dialog opens, or
// anew at every click of "Hilfe".
enum class HelpPathBuilt { kPerDialog, kPerClick };

struct DialogDescription {
  template <std::size_t N>
  constexpr DialogDescription(int templateId, const ExchangedControl (&controls)[N], std::uint32_t helpContext,
                              HelpPathBuilt helpPath)
      : templateId(templateId), controls(controls), controlCount(N), helpContext(helpContext), helpPath(helpPath) {}

  int templateId;  // of the dialog, and of its list items where it has any
  const ExchangedControl* controls;  // in the order they are exchanged
  std::size_t controlCount;
  std::uint32_t helpContext;
  HelpPathBuilt helpPath;
};

}  // namespace frame
