// A component that meets the contract, each operation of which the contract
// test leaves out in turn (OMIT_<OPERATION>): the build must then fail with
// a message that names the operation.
#include <cstdint>

#include "component.h"
#include "windows1252.h"

class Part {
 public:
#ifndef OMIT_DISPLAY_NAME
  static constexpr frame::Text kDisplayName{"Teil"};
#endif
#ifndef OMIT_INPUT_COUNT
  static constexpr int InputCount() { return 1; }
#endif
#ifndef OMIT_OUTPUT_COUNT
  static constexpr int OutputCount() { return 1; }
#endif
#ifndef OMIT_INPUT_NAMES
  static constexpr frame::Names kInputNames{"Eingang"};
#endif
#ifndef OMIT_OUTPUT_NAMES
  static constexpr frame::Names kOutputNames{"Ausgang"};
#endif
#ifdef OMIT_DEFAULT_CONSTRUCTOR
  explicit Part(int) {}
#endif
#ifndef OMIT_INPUT_LABELS
  const char* InputLabels() const { return "E"; }
#endif
#ifndef OMIT_OUTPUT_LABELS
  const char* OutputLabels() const { return "A"; }
#endif
#ifndef OMIT_EVALUATE_INITIAL
  void EvaluateInitial(const double* inputs, double* outputs) { Evaluate(inputs, outputs); }
#endif
  void Evaluate_(const double* inputs, double* outputs) const { outputs[0] = inputs[0] > 2.5 ? 5.0 : 0.0; }
#ifndef OMIT_EVALUATE
  void Evaluate(const double* inputs, double* outputs) const { Evaluate_(inputs, outputs); }
#endif
  std::int32_t delayFlag = 0;
};

struct Plugin {
#ifndef OMIT_COMPONENT
  using Component = Part;
#endif
#ifndef OMIT_KEEPS_HOST_WINDOW
  static constexpr bool kKeepsHostWindow = false;
#endif
#ifndef OMIT_REFILLS_PIN_INFO_AFTER_DIALOG
  static constexpr bool kRefillsPinInfoAfterDialog = false;
#endif
#ifndef OMIT_SETTINGS
  static constexpr frame::Setting<Part> kSettings[] = {frame::DelayFlag(&Part::delayFlag)};
#endif
#ifndef OMIT_DIALOG
  static constexpr frame::Dialog kDialog{1, "Teil", 1};
#endif
};

static_assert(frame::MeetsTheContract<Plugin>());
