// `bench`: the cost of an evaluation through a plug-in's exports, against
// the same work done inline by the host, and proof that an evaluation
// allocates nothing.
#pragma once

#include <cstdint>
#include <string>

#include "plugin_interface.h"

namespace host {

// The part's rule with the host's own conversions, in the same function
// called the same way as SimulateDLL3; null for a display name the host
// has no rule for.
SimulateDLL3Fn InlineBaseline(const std::string& displayName);

struct BenchFigures {
  double exportNs = 0, baselineNs = 0;  // per evaluation, best of the rounds
};

// `evaluations` per round, several rounds, the two ways taking turns.
BenchFigures TimeEvaluations(SimulateDLL3Fn plugin, SimulateDLL3Fn baseline, unsigned char* record, int inputs,
                             long evaluations);

}  // namespace host
