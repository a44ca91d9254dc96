// The contract between the frame and the one component of a deliverable.
//
// A deliverable's folder holds the component class and a plugin.h that
// defines `struct Plugin`, what the frame needs to know about the
// deliverable. Both are bound when the deliverable is built (no virtual
// functions). The two lists below are the contract, each operation once: its
// name, its declaration as a deliverable writes it (which the message names
// when a build lacks it), and an expression in terms of C (the Plugin, or
// the component class) that is well formed when C has it.
//
// Components work on doubles: an input above 2.5 is 1 (frame::LogicLevel),
// an output is 5.0 or 0.0 (frame::SetLevelVoltage). EvaluateInitial and
// Evaluate may be const; each reads InputCount() inputs and writes
// OutputCount() outputs. Both are defined in the component's header, so
// that the frame's evaluation cycle compiles the rule in between its
// conversions.
//
// The settings are no operations of the component: plugin.h declares them
// (settings.h), and the frame reports, saves, reads and exchanges them.
//
// MeetsTheContract<Plugin>() names the first operation a deliverable lacks.
#pragma once

#include <type_traits>
#include <utility>

#include "settings.h"

// What plugin.h's `struct Plugin` holds; C is the Plugin.
#define FRAME_PLUGIN_CONTRACT(X)                                                              \
  /* the component class */                                                                   \
  X(Component, "using Component = ...", std::declval<typename C::Component>())                \
  /* InitUserDLL makes the host's window the library's main window, which owns its dialogs */ \
  X(KeepsHostWindow, "static constexpr bool kKeepsHostWindow", bool{C::kKeepsHostWindow})     \
  /* CallParameterDialogDLL writes the pin record after the dialog */                         \
  X(RefillsPinInfoAfterDialog, "static constexpr bool kRefillsPinInfoAfterDialog",            \
    bool{C::kRefillsPinInfoAfterDialog})                                                      \
  /* the settings, each declared once (settings.h), */                                        \
  X(Settings, "static constexpr frame::Setting<Component> kSettings[]",                       \
    static_cast<const frame::Setting<typename C::Component>&>(C::kSettings[0]))               \
  /* and the properties dialog: its template's id, caption and help topic */                  \
  X(Dialog, "static constexpr frame::Dialog kDialog", static_cast<const frame::Dialog&>(C::kDialog))

// What the component class provides; C is the class.
#define FRAME_COMPONENT_CONTRACT(X)                                                                                   \
  /* Identity and pins, the same for every instance: GetDLLName's text, */                                            \
  X(DisplayName, "static constexpr frame::Text kDisplayName{...}", static_cast<const char*>(C::kDisplayName))         \
  /* 1 to 50 inputs and 1 to 50 outputs, */                                                                           \
  X(InputCount, "static constexpr int InputCount()", std::integral_constant<int, C::InputCount()>())                  \
  X(OutputCount, "static constexpr int OutputCount()", std::integral_constant<int, C::OutputCount()>())               \
  /* one name per pin, each shorter than 41 bytes. */                                                                 \
  X(InputNames, "static constexpr frame::Names kInputNames{...}", static_cast<const char*>(C::kInputNames[0]))        \
  X(OutputNames, "static constexpr frame::Names kOutputNames{...}", static_cast<const char*>(C::kOutputNames[0]))     \
  /* An instance, one per placed component: its defaults,     */                                                      \
  X(DefaultConstructor, "a default constructor", C())                                                                 \
  /* the pins' labels, valid while the instance lives. */                                                             \
  X(InputLabels, "const char* InputLabels() const", static_cast<const char*>(std::declval<const C&>().InputLabels())) \
  X(OutputLabels, "const char* OutputLabels() const",                                                                 \
    static_cast<const char*>(std::declval<const C&>().OutputLabels()))                                                \
  /* Simulation: the first evaluation of a run, and every one after it. */                                            \
  X(EvaluateInitial, "void EvaluateInitial(const double* inputs, double* outputs)",                                   \
    std::declval<C&>().EvaluateInitial(std::declval<const double*>(), std::declval<double*>()))                       \
  X(Evaluate, "void Evaluate(const double* inputs, double* outputs)",                                                 \
    std::declval<C&>().Evaluate(std::declval<const double*>(), std::declval<double*>()))

namespace frame {
namespace contract {

// Has<Operation><C>::value: whether C has the operation.
#define FRAME_CONTRACT_DETECTOR(Operation, declaration, ...) \
  template <class C, class = void>                           \
  struct Has##Operation : std::false_type {};                \
  template <class C>                                         \
  struct Has##Operation<C, std::void_t<decltype(__VA_ARGS__)>> : std::true_type {};
FRAME_PLUGIN_CONTRACT(FRAME_CONTRACT_DETECTOR)
FRAME_COMPONENT_CONTRACT(FRAME_CONTRACT_DETECTOR)
#undef FRAME_CONTRACT_DETECTOR

#define FRAME_CONTRACT_PLUGIN_REQUIRES(Operation, declaration, ...) \
  static_assert(Has##Operation<C>::value, "plugin.h lacks: " declaration);
#define FRAME_CONTRACT_COMPONENT_REQUIRES(Operation, declaration, ...) \
  static_assert(Has##Operation<C>::value, "the component lacks: " declaration);

template <class C>
constexpr bool ComponentMeetsTheContract() {
  FRAME_COMPONENT_CONTRACT(FRAME_CONTRACT_COMPONENT_REQUIRES)
  return true;
}

template <class C>
constexpr bool PluginMeetsTheContract() {
  FRAME_PLUGIN_CONTRACT(FRAME_CONTRACT_PLUGIN_REQUIRES)
  if constexpr (HasComponent<C>::value) return ComponentMeetsTheContract<typename C::Component>();
  return false;
}

#undef FRAME_CONTRACT_PLUGIN_REQUIRES
#undef FRAME_CONTRACT_COMPONENT_REQUIRES

}  // namespace contract

template <class Plugin>
constexpr bool MeetsTheContract() {
  return contract::PluginMeetsTheContract<Plugin>();
}

}  // namespace frame
