#include "shift_register.h"

#include <cstring>
#include <istream>
#include <ostream>

#include "persistence.h"

// The register starts empty rather than with whatever the storage held.
ShiftRegister::ShiftRegister() : width(4), cells{}, delayFlag(true) {
  std::memcpy(inputLabels, "C&LCFS", 7);
  std::memcpy(outputLabels, "O", 2);
}

bool ShiftRegister::SetWidth(std::int32_t newWidth) {
  if (newWidth < 1 || newWidth > kCapacity) return false;
  width = newWidth;
  return true;
}

void ShiftRegister::CopyToDialog(DialogValues& values) const {
  values.widthIndex = width >> 3;
  values.delayChecked = delayFlag ? 1 : 0;
}

void ShiftRegister::CopyFromDialog(const DialogValues& values) {
  constexpr std::int32_t kListedWidths = 3;  // 4 << 0, 4 << 1, 4 << 2
  if (values.widthIndex >= 0 && values.widthIndex < kListedWidths) SetWidth(4 << values.widthIndex);
  delayFlag = values.delayChecked != 0;
}

void ShiftRegister::WriteSettings(std::ostream& text) const { text << width << "\r\n" << delayFlag << "\r\n"; }

// A text that holds no width leaves both settings alone; a width the
// register cannot hold is ignored, but the flag behind it is still taken.
void ShiftRegister::ReadSettings(std::istream& text) {
  std::int32_t storedWidth = width;
  if (!frame::ExtractSetting(text, storedWidth)) return;
  SetWidth(storedWidth);
  frame::ExtractSetting(text, delayFlag);
}
