// Morrel: serial-in, serial-out shift register of up to 16 bits with clear,
// clock, shift enable and serial data inputs. The only component with state
// between evaluations: the register bits and the clock level of the previous
// evaluation, from which rising edges are detected. That state lives only in
// memory; the settings (width and delay flag) are what a project keeps.
#pragma once

#include <cstdint>

#include "signal_value.h"
#include "windows1252.h"

struct Plugin;

class ShiftRegister {
 public:
  static constexpr frame::Text kDisplayName{"Schieberegister"};

  static constexpr int InputCount() { return 4; }
  static constexpr int OutputCount() { return 1; }
  static constexpr frame::Names kInputNames{"Löschen", "Takteingang", "Funktion", "Serieller Eingang"};
  static constexpr frame::Names kOutputNames{"Serieller Ausgang"};

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

  std::int32_t Width() const { return width; }

  // Register bit k, 1 (input end) to kCapacity; 0 or 1.
  int Bit(int k) const { return cells[k]; }

 private:
  friend struct Plugin;  // which declares the settings

  void ClearRegister();
  void ShiftIn(unsigned char level);

  char inputLabels[7];
  char outputLabels[2];
  // The settings: 1 <= width <= kCapacity, which every way in keeps (the
  // list's items and what a project may hold), so clearing, shifting and
  // the output rely on it; the delay flag 0 or 1. Bits above a lowered
  // width keep their values until a clear reaches them again.
  std::int32_t width;
  // Cell 0: clock level seen by the previous evaluation. Cells 1..kCapacity:
  // the register bits, bit 1 at the input end, bit `width` at the output.
  unsigned char cells[kCapacity + 1];
  std::int32_t delayFlag;
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
