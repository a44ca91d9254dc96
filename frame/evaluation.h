// The evaluation cycle shared by the initial and the ordinary evaluation:
// host values in, doubles through the component, host values out.
//
// The cycle is compiled into each simulation entry point, and its
// conversions are written out pin by pin: an evaluation is a few dozen
// instructions, so a call or a loop more is a good part of its cost, and
// with every pin's conversion in sight the compiler turns the component's
// 5.0 and 0.0 straight into the host's patterns.
#pragma once

#include <utility>

#include "pin_info.h"
#include "signal_value.h"

namespace frame {

template <std::size_t... Pin>
[[gnu::always_inline]] inline void ReadSignalValues(const unsigned char* hostValues, double* values,
                                                    std::index_sequence<Pin...>) {
  (ReadSignalValue(hostValues + Pin * kSignalValueSize, &values[Pin]), ...);
}

template <std::size_t... Pin>
[[gnu::always_inline]] inline void WriteSignalValues(const double* values, unsigned char* hostValues,
                                                     std::index_sequence<Pin...>) {
  (WriteSignalValue(values[Pin], hostValues + Pin * kSignalValueSize), ...);
}

// `step(component, inputs, outputs)` runs the component's EvaluateInitial or
// Evaluate. Only the first InputCount() host values are read and only the
// first OutputCount() written; nothing is allocated.
template <class Component, class Step>
[[gnu::always_inline]] inline void RunEvaluationCycle(Component& component, Step step, const unsigned char* hostInputs,
                                                      unsigned char* hostOutputs) {
  double inputs[kMaxPins];
  double outputs[kMaxPins];
  ReadSignalValues(hostInputs, inputs, std::make_index_sequence<Component::InputCount()>());
  step(component, static_cast<const double*>(inputs), static_cast<double*>(outputs));
  WriteSignalValues(outputs, hostOutputs, std::make_index_sequence<Component::OutputCount()>());
}

template <class Component>
[[gnu::always_inline]] inline void EvaluateInitialCycle(Component& component, const unsigned char* hostInputs,
                                                        unsigned char* hostOutputs) {
  RunEvaluationCycle(
      component, [](Component& c, const double* in, double* out) { c.EvaluateInitial(in, out); }, hostInputs,
      hostOutputs);
}

template <class Component>
[[gnu::always_inline]] inline void EvaluateCycle(Component& component, const unsigned char* hostInputs,
                                                 unsigned char* hostOutputs) {
  RunEvaluationCycle(
      component, [](Component& c, const double* in, double* out) { c.Evaluate(in, out); }, hostInputs, hostOutputs);
}

}  // namespace frame
