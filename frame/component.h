// The contract between the frame and the one component of a deliverable.
//
// A deliverable's folder holds the component class and a plugin.h that
// defines `struct Plugin`, what the frame needs to know about the
// deliverable:
//
//   using Component = ...;                     the component class
//   static constexpr bool kRecordsHostWindow;  InitUserDLL makes the host's
//                                              window the library's main
//                                              window, which owns its dialogs
//   static constexpr bool kRefillsPinInfoAfterDialog;
//                                              CallParameterDialogDLL writes
//                                              the pin record after the dialog
//   static constexpr frame::DialogDescription<Component::DialogValues> kDialog;
//                                              template, controls, help topic
//
// The component class provides, bound when the deliverable is built (no
// virtual functions):
//
//   Identity and pins, the same for every instance:
//     static constexpr const char* kDisplayName;    GetDLLName's text
//     static constexpr int InputCount();            1 to 50
//     static constexpr int OutputCount();           1 to 50
//     static constexpr const char* kInputNames[];   one per input, each
//     static constexpr const char* kOutputNames[];  shorter than 41 bytes
//   An instance, one per placed part:
//     Component();                                  a new part's defaults
//     const char* InputLabels() const;              valid while the
//     const char* OutputLabels() const;             instance lives
//   Simulation, on doubles (above 2.5 is 1; outputs 5.0 or 0.0):
//     void EvaluateInitial(const double* inputs, double* outputs);
//     void Evaluate(const double* inputs, double* outputs);
//                                   (either may be const; each reads
//                                   InputCount() inputs and writes
//                                   OutputCount() outputs)
//   Settings:
//     std::int32_t HasDelay() const;                the delay flag
//     void WriteSettings(std::ostream& text) const; decimal, each value
//     void ReadSettings(std::istream& text);        followed by CR LF
//     struct DialogValues;                          what the dialog edits
//     void CopyToDialog(DialogValues& values) const;
//     void CopyFromDialog(const DialogValues& values);   after OK only
//
// The settings operations have a default: a component whose only setting is
// the delay flag derives from frame::DelayFlagSetting<Itself>
// (delay_flag.h) and writes none of them.
//
// MeetsTheContract<Plugin>() names the first operation a deliverable lacks.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <type_traits>
#include <utility>

#include "dialog_values.h"

namespace frame {
namespace contract {

// Has<C>::value: whether the expression (in terms of C) is well formed.
#define FRAME_CONTRACT_OPERATION(Has, ...) \
  template <class C, class = void>         \
  struct Has : std::false_type {};         \
  template <class C>                       \
  struct Has<C, std::void_t<decltype(__VA_ARGS__)>> : std::true_type {};

FRAME_CONTRACT_OPERATION(HasComponent, std::declval<typename C::Component>())
FRAME_CONTRACT_OPERATION(HasRecordsHostWindow, bool{C::kRecordsHostWindow})
FRAME_CONTRACT_OPERATION(HasRefillsPinInfoAfterDialog, bool{C::kRefillsPinInfoAfterDialog})
FRAME_CONTRACT_OPERATION(HasDialog, C::kDialog)

FRAME_CONTRACT_OPERATION(HasDisplayName, static_cast<const char*>(C::kDisplayName))
FRAME_CONTRACT_OPERATION(HasInputCount, std::integral_constant<int, C::InputCount()>())
FRAME_CONTRACT_OPERATION(HasOutputCount, std::integral_constant<int, C::OutputCount()>())
FRAME_CONTRACT_OPERATION(HasInputNames, static_cast<const char*>(C::kInputNames[0]))
FRAME_CONTRACT_OPERATION(HasOutputNames, static_cast<const char*>(C::kOutputNames[0]))
FRAME_CONTRACT_OPERATION(HasInputLabels, static_cast<const char*>(std::declval<const C&>().InputLabels()))
FRAME_CONTRACT_OPERATION(HasOutputLabels, static_cast<const char*>(std::declval<const C&>().OutputLabels()))
FRAME_CONTRACT_OPERATION(HasEvaluateInitial,
                         std::declval<C&>().EvaluateInitial(std::declval<const double*>(), std::declval<double*>()))
FRAME_CONTRACT_OPERATION(HasEvaluate,
                         std::declval<C&>().Evaluate(std::declval<const double*>(), std::declval<double*>()))
FRAME_CONTRACT_OPERATION(HasHasDelay, static_cast<std::int32_t>(std::declval<const C&>().HasDelay()))
FRAME_CONTRACT_OPERATION(HasWriteSettings, std::declval<const C&>().WriteSettings(std::declval<std::ostream&>()))
FRAME_CONTRACT_OPERATION(HasReadSettings, std::declval<C&>().ReadSettings(std::declval<std::istream&>()))
FRAME_CONTRACT_OPERATION(HasDialogValues, std::declval<typename C::DialogValues>())
FRAME_CONTRACT_OPERATION(HasCopyToDialog,
                         std::declval<const C&>().CopyToDialog(std::declval<typename C::DialogValues&>()))
FRAME_CONTRACT_OPERATION(HasCopyFromDialog,
                         std::declval<C&>().CopyFromDialog(std::declval<const typename C::DialogValues&>()))

#undef FRAME_CONTRACT_OPERATION

template <class C>
constexpr bool ComponentMeetsTheContract() {
  static_assert(HasDisplayName<C>::value, "the component lacks: static constexpr const char* kDisplayName");
  static_assert(HasInputCount<C>::value, "the component lacks: static constexpr int InputCount()");
  static_assert(HasOutputCount<C>::value, "the component lacks: static constexpr int OutputCount()");
  static_assert(HasInputNames<C>::value, "the component lacks: static constexpr const char* kInputNames[]");
  static_assert(HasOutputNames<C>::value, "the component lacks: static constexpr const char* kOutputNames[]");
  static_assert(std::is_default_constructible<C>::value, "the component lacks: a default constructor");
  static_assert(HasInputLabels<C>::value, "the component lacks: const char* InputLabels() const");
  static_assert(HasOutputLabels<C>::value, "the component lacks: const char* OutputLabels() const");
  static_assert(HasEvaluateInitial<C>::value,
                "the component lacks: void EvaluateInitial(const double* inputs, double* outputs)");
  static_assert(HasEvaluate<C>::value, "the component lacks: void Evaluate(const double* inputs, double* outputs)");
  static_assert(HasHasDelay<C>::value, "the component lacks: std::int32_t HasDelay() const");
  static_assert(HasWriteSettings<C>::value, "the component lacks: void WriteSettings(std::ostream&) const");
  static_assert(HasReadSettings<C>::value, "the component lacks: void ReadSettings(std::istream&)");
  static_assert(HasDialogValues<C>::value, "the component lacks: struct DialogValues");
  static_assert(HasCopyToDialog<C>::value, "the component lacks: void CopyToDialog(DialogValues&) const");
  static_assert(HasCopyFromDialog<C>::value, "the component lacks: void CopyFromDialog(const DialogValues&)");
  return true;
}

}  // namespace contract

template <class Plugin>
constexpr bool MeetsTheContract() {
  static_assert(contract::HasComponent<Plugin>::value, "plugin.h lacks: using Component = ...");
  static_assert(contract::HasRecordsHostWindow<Plugin>::value,
                "plugin.h lacks: static constexpr bool kRecordsHostWindow");
  static_assert(contract::HasRefillsPinInfoAfterDialog<Plugin>::value,
                "plugin.h lacks: static constexpr bool kRefillsPinInfoAfterDialog");
  static_assert(contract::HasDialog<Plugin>::value,
                "plugin.h lacks: static constexpr frame::DialogDescription<Component::DialogValues> kDialog");
  if constexpr (contract::HasComponent<Plugin>::value)
    return contract::ComponentMeetsTheContract<typename Plugin::Component>();
  return false;
}

}  // namespace frame
