// The evaluation cycle shared by the initial and the ordinary evaluation:
// host values in, doubles through the component, host values out.
#pragma once

#include "pin_info.h"
#include "signal_value.h"

namespace frame {

// `step(component, inputs, outputs)` runs the component's EvaluateInitial or
// Evaluate. Only the first InputCount() host values are read and only the
// first OutputCount() written; nothing is allocated.
template <class Component, class Step>
[[gnu::always_inline]] inline void RunEvaluationCycle(Component& component, Step step, const unsigned char* hostInputs,
                        unsigned char* hostOutputs) {
  double inputs[kMaxPins];
  double outputs[kMaxPins];
  for (int i = 0; i < Component::InputCount(); ++i)
    ReadSignalValue(hostInputs + i * kSignalValueSize, &inputs[i]);
  step(component, static_cast<const double*>(inputs), static_cast<double*>(outputs));
  for (int j = 0; j < Component::OutputCount(); ++j)
    WriteSignalValue(outputs[j], hostOutputs + j * kSignalValueSize);
}

template <class Component>
[[gnu::always_inline]] inline void EvaluateInitialCycle(Component& component, const unsigned char* hostInputs, unsigned char* hostOutputs) {
  RunEvaluationCycle(
      component, [](Component& c, const double* in, double* out) { c.EvaluateInitial(in, out); }, hostInputs,
      hostOutputs);
}

template <class Component>
[[gnu::always_inline]] inline void EvaluateCycle(Component& component, const unsigned char* hostInputs, unsigned char* hostOutputs) {
  RunEvaluationCycle(
      component, [](Component& c, const double* in, double* out) { c.Evaluate(in, out); }, hostInputs,
      hostOutputs);
}

}  // namespace frame
