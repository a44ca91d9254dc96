// The truth table of a part, found by driving it: every input combination
// once in order, then again after other steps. A part whose outputs for
// the same inputs change along the way has state, and so no truth table.
#pragma once

#include <vector>

#include "part_instance.h"

namespace host {

constexpr int kMaxTruthTableInputs = 10;

struct TruthTable {
  std::vector<std::vector<double>> outputs;  // by code; input i is bit i
  bool dependsOnHistory = false;
  unsigned conflictCode = 0;  // inputs that gave two answers
  std::vector<double> firstAnswer, laterAnswer;
};

TruthTable ExploreTruthTable(PartInstance& instance);

}  // namespace host
