// A component that meets the contract, each operation of which the contract
// test leaves out in turn (OMIT_<OPERATION>): the build must then fail with
// a message that names the operation.
#include <cstdint>
#include <istream>
#include <ostream>

#include "component.h"

class Part {
 public:
#ifndef OMIT_DISPLAY_NAME
  static constexpr const char* kDisplayName = "Teil";
#endif
#ifndef OMIT_INPUT_COUNT
  static constexpr int InputCount() { return 1; }
#endif
#ifndef OMIT_OUTPUT_COUNT
  static constexpr int OutputCount() { return 1; }
#endif
#ifndef OMIT_INPUT_NAMES
  static constexpr const char* kInputNames[] = {"Eingang"};
#endif
#ifndef OMIT_OUTPUT_NAMES
  static constexpr const char* kOutputNames[] = {"Ausgang"};
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
#ifndef OMIT_HAS_DELAY
  std::int32_t HasDelay() const { return 0; }
#endif
#ifndef OMIT_WRITE_SETTINGS
  void WriteSettings(std::ostream&) const {}
#endif
#ifndef OMIT_READ_SETTINGS
  void ReadSettings(std::istream&) {}
#endif
#ifndef OMIT_DIALOG_VALUES
  struct DialogValues {
    std::int32_t delayChecked = 0;
  };
#ifndef OMIT_COPY_TO_DIALOG
  void CopyToDialog(DialogValues&) const {}
#endif
#ifndef OMIT_COPY_FROM_DIALOG
  void CopyFromDialog(const DialogValues&) {}
#endif
#endif
};

struct Values {
  std::int32_t delayChecked = 0;
};

struct Plugin {
#ifndef OMIT_COMPONENT
  using Component = Part;
#endif
#ifndef OMIT_RECORDS_HOST_WINDOW
  static constexpr bool kRecordsHostWindow = false;
#endif
#ifndef OMIT_REFILLS_PIN_INFO_AFTER_DIALOG
  static constexpr bool kRefillsPinInfoAfterDialog = false;
#endif
#ifndef OMIT_DIALOG
  static constexpr frame::ExchangedControl<Values> kDialogControls[] = {
      {1, frame::Exchange::kCheckBox, &Values::delayChecked}};
  static constexpr frame::DialogDescription<Values> kDialog{1, kDialogControls, 1, frame::HelpPathBuilt::kPerClick};
#endif
};

static_assert(frame::MeetsTheContract<Plugin>());
