// Morrel: serial-in, serial-out shift register of up to 16 bits with clear,
// clock, shift enable and serial data inputs. The only component with state
// between evaluations: the register bits and the clock level of the previous
// evaluation, from which rising edges are detected. That state lives only in
// memory; the settings (width and delay flag) are what a project keeps.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "signal_value.h"

class ShiftRegister {
 public:
  static constexpr const char* kDisplayName = "Schieberegister";

  static constexpr int InputCount() { return 4; }
  static constexpr int OutputCount() { return 1; }
  // A table, laid out to be read.
  // clang-format off
  static constexpr const char* kInputNames[] = {("L\xF6" "schen"), "Takteingang", "Funktion", "Serieller Eingang"};
  // clang-format on
  static constexpr const char* kOutputNames[] = {"Serieller Ausgang"};

  // Bit cells the register has; the user picks 4, 8 or 16 of them.
  static constexpr std::int32_t kCapacity = 16;

  ShiftRegister();

  const char* InputLabels() const { return inputLabels; }
  const char* OutputLabels() const { return outputLabels; }

  // Start of a run: empties the register, then evaluates as usual. The
  // previous clock level is kept, so a run that starts with the clock high
  // shifts only if the clock was low at the end of the previous run (or the
  // instance has never been evaluated).
  void EvaluateInitial(const double* inputs, double* outputs);
  void Evaluate(const double* inputs, double* outputs);

  std::int32_t HasDelay() const { return delayFlag ? 1 : 0; }
  void WriteSettings(std::ostream& text) const;
  void ReadSettings(std::istream& text);

  std::int32_t Width() const { return width; }
  // Every width enters here, so clearing, shifting and the output can rely
  // on 1 <= width <= kCapacity. A width outside that range is refused and
  // the register keeps its width. Bits above a lowered width keep their
  // values until a clear reaches them again.
  bool SetWidth(std::int32_t newWidth);

  // What the properties dialog edits: the width list, which offers the
  // widths 4, 8 and 16 as items 0, 1 and 2 (a width in between shows the
  // item below it; OK without an item selected keeps the width), and the
  // delay check box.
  struct DialogValues {
    std::int32_t widthIndex = -1;  // -1: no item selected
    std::int32_t delayChecked = 0;
  };
  void CopyToDialog(DialogValues& values) const;
  void CopyFromDialog(const DialogValues& values);

  // Register bit k, 1 (input end) to kCapacity; 0 or 1.
  int Bit(int k) const { return cells[k]; }

 private:
  void ClearRegister();
  void ShiftIn(unsigned char level);

  char inputLabels[7];
  char outputLabels[2];
  std::int32_t width;
  // Cell 0: clock level seen by the previous evaluation. Cells 1..kCapacity:
  // the register bits, bit 1 at the input end, bit `width` at the output.
  unsigned char cells[kCapacity + 1];
  bool delayFlag;
};

inline void ShiftRegister::ClearRegister() {
  for (std::int32_t k = 1; k <= width; ++k) cells[k] = 0;
}

inline void ShiftRegister::ShiftIn(unsigned char level) {
  for (std::int32_t k = width; k >= 2; --k) cells[k] = cells[k - 1];
  cells[1] = level;
}

inline void ShiftRegister::EvaluateInitial(const double* inputs, double* outputs) {
  ClearRegister();
  Evaluate(inputs, outputs);
}

// The clock level is stored whatever happens, so an edge that a clear or a
// low "Funktion" did not use is gone: the next shift needs a new edge.
inline void ShiftRegister::Evaluate(const double* inputs, double* outputs) {
  enum Input { kClear = 0, kClock = 1, kFunction = 2, kData = 3 };
  auto levelOf = [inputs](Input pin) { return static_cast<unsigned char>(frame::LogicLevel(inputs[pin])); };
  const unsigned char clock = levelOf(kClock);
  if (levelOf(kClear)) {
    ClearRegister();
  } else if (clock > cells[0] && levelOf(kFunction)) {
    ShiftIn(levelOf(kData));
  }
  cells[0] = clock;
  frame::SetLevelVoltage(outputs[0], cells[width]);
}
