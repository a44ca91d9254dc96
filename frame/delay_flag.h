// The setting most parts have and no other: the delay flag, whether the
// host is to simulate the part's propagation delay. The part only stores,
// reports and persists it; the host applies any delay itself.
//
// A component whose only setting this is derives from
// DelayFlagSetting<Itself> and keeps the flag as its own data member
// `delayFlag`, a 32-bit integer; the base holds no data, so the
// component's layout stays as the component declares it. It then has all
// settings operations of the component contract: HasDelay, WriteSettings,
// ReadSettings, DialogValues, CopyToDialog, CopyFromDialog.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include "persistence.h"

namespace frame {

template <class Component>
class DelayFlagSetting {
 public:
  // What the properties dialog edits: the delay check box.
  struct DialogValues {
    std::int32_t delayChecked = 0;  // 1 ticked, 0 not
  };

  // A flag read from a project is reported and written back as read, even
  // when it is neither 0 nor 1.
  std::int32_t HasDelay() const { return Self().delayFlag; }

  // One line: the flag in decimal.
  void WriteSettings(std::ostream& text) const { text << Self().delayFlag << "\r\n"; }
  void ReadSettings(std::istream& text) { ExtractSetting(text, Self().delayFlag); }

  // A flag other than 0 shows the box ticked; after OK the flag is 0 or 1.
  void CopyToDialog(DialogValues& values) const { values.delayChecked = Self().delayFlag; }
  void CopyFromDialog(const DialogValues& values) { Self().delayFlag = values.delayChecked; }

 private:
  const Component& Self() const { return static_cast<const Component&>(*this); }
  Component& Self() { return static_cast<Component&>(*this); }
};

}  // namespace frame
