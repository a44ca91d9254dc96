// What the frame does with a part's declared settings (settings.h): the
// delay flag it reports, the lines it writes into the project file and
// reads back, and the values its dialog shows and gives back. Free of the
// platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>

#include "settings.h"

namespace frame {

// Formatted extraction that leaves `setting` as it was when the text holds
// no such value (the stream itself would store 0, or the type's limit on an
// overflow). Gives whether a value was taken; once one extraction failed the
// stream stays failed and the following ones take nothing.
template <class T>
bool ExtractSetting(std::istream& text, T& setting) {
  T value{};
  if (!(text >> value)) return false;
  setting = value;
  return true;
}

// A dialog shows at most this many settings.
constexpr std::size_t kMaxSettings = 16;

template <class Plugin>
constexpr std::size_t SettingCount() {
  return sizeof Plugin::kSettings / sizeof Plugin::kSettings[0];
}

// The delay flag as the part keeps it; 0 for a part that has none.
template <class Plugin>
std::int32_t HasDelay(const typename Plugin::Component& component) {
  for (const auto& setting : Plugin::kSettings)
    if (setting.isDelayFlag) return component.*setting.member;
  return 0;
}

// One line per setting, in decimal, in the order declared.
template <class Plugin>
void WriteSettings(const typename Plugin::Component& component, std::ostream& text) {
  for (const auto& setting : Plugin::kSettings) text << component.*setting.member << "\r\n";
}

// The lines in the same order. Reading stops at the first line that holds no
// number, leaving that setting and the ones after it alone; a number the
// setting does not accept is passed over, and the next line is still read.
template <class Plugin>
void ReadSettings(typename Plugin::Component& component, std::istream& text) {
  for (const auto& setting : Plugin::kSettings) {
    std::int32_t value = 0;
    if (!ExtractSetting(text, value)) return;
    if (setting.accepted.Takes(value, setting.items, setting.itemCount)) component.*setting.member = value;
  }
}

// What the dialog shows of each setting, in the order declared: a check
// box's flag (ticked when not 0), a list's or radio group's item index.
struct DialogValues {
  std::int32_t shown[kMaxSettings] = {};
};

template <class Plugin>
DialogValues CopyToDialog(const typename Plugin::Component& component) {
  DialogValues values;
  std::size_t k = 0;
  for (const auto& setting : Plugin::kSettings) {
    const std::int32_t value = component.*setting.member;
    values.shown[k++] = setting.control == Control::kCheckBox ? value : ItemShown(setting, value);
  }
  return values;
}

// After OK: a check box gives 1 or 0; a list or radio group its item's
// value, and none selected leaves the setting alone.
template <class Plugin>
void CopyFromDialog(typename Plugin::Component& component, const DialogValues& values) {
  std::size_t k = 0;
  for (const auto& setting : Plugin::kSettings) {
    const std::int32_t shown = values.shown[k++];
    if (setting.control == Control::kCheckBox)
      component.*setting.member = shown != 0 ? 1 : 0;
    else if (shown >= 0 && static_cast<std::size_t>(shown) < setting.itemCount)
      component.*setting.member = setting.items[shown].value;
  }
}

}  // namespace frame
