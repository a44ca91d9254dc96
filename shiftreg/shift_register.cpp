#include "shift_register.h"

#include <cstring>
#include <istream>
#include <ostream>

#include "persistence.h"
#include "signal_value.h"

namespace {

enum Input { kClear = 0, kClock = 1, kFunction = 2, kData = 3 };

unsigned char LevelOf(const double& value) { return static_cast<unsigned char>(frame::LogicLevel(value)); }

}  // namespace

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

void ShiftRegister::ClearRegister() {
  for (std::int32_t k = 1; k <= width; ++k) cells[k] = 0;
}

void ShiftRegister::ShiftIn(unsigned char level) {
  for (std::int32_t k = width; k >= 2; --k) cells[k] = cells[k - 1];
  cells[1] = level;
}

void ShiftRegister::EvaluateInitial(const double* inputs, double* outputs) {
  ClearRegister();
  Evaluate(inputs, outputs);
}

// The clock level is stored whatever happens, so an edge that a clear or a
// low "Funktion" did not use is gone: the next shift needs a new edge.
void ShiftRegister::Evaluate(const double* inputs, double* outputs) {
  const unsigned char clock = LevelOf(inputs[kClock]);
  if (LevelOf(inputs[kClear])) {
    ClearRegister();
  } else if (clock > cells[0] && LevelOf(inputs[kFunction])) {
    ShiftIn(LevelOf(inputs[kData]));
  }
  cells[0] = clock;
  frame::SetLevelVoltage(outputs[0], cells[width]);
}

void ShiftRegister::CopyToDialog(frame::DialogValues& values) const {
  values.widthIndex = width >> 3;
  values.delayChecked = delayFlag ? 1 : 0;
}

void ShiftRegister::CopyFromDialog(const frame::DialogValues& values) {
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
