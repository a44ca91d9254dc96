// `bench`: the cost of an evaluation through a plug-in's SimulateDLL3
// against its floor, the least an evaluation can cost: the call itself
// (an empty export with the same nine arguments) plus the least work of
// the part done inline by the host.
#pragma once

#include <string>

#include "part_instance.h"
#include "plugin_interface.h"

namespace host {

constexpr int kBenchRounds = 7;
// The DLL beside hostsim that exports the empty SimulateDLL3.
constexpr char kEmptyExportDll[] = "empty_export.dll";

// Per evaluation, the best of the rounds.
struct BenchFigures {
  double exportNs = 0;     // through the plug-in's SimulateDLL3
  double emptyCallNs = 0;  // through the empty export
  double leastWorkNs = 0;  // the part's least work inline
  std::string leastWork;   // what that work is, in words
  double FloorNs() const { return emptyCallNs + leastWorkNs; }
  double Ratio() const { return exportNs / FloorNs(); }
};

// Times `evaluations` per figure and round; in each round the three figures
// are taken one after the other, so that they see the machine alike. The
// least work is the part's rule in bench_rules/ where it has one (for the
// DLL of that name); else, for a part whose outputs follow from its inputs
// alone, a table of its outputs read from the DLL; else, for a part with
// state, the levels and output patterns without its rule.
BenchFigures TimeEvaluations(const std::string& dll, PartInstance& instance, SimulateDLL3Fn emptyExport,
                             long evaluations);

}  // namespace host
