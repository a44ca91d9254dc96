// `bench`: the cost of an evaluation through a plug-in's SimulateDLL3
// against its floor, the least an evaluation can cost: the call itself
// (an empty export with the same nine arguments) plus the least work of
// the part done inline by the host.
#pragma once

#include <string>

#include "plugin_interface.h"

namespace host {

constexpr int kBenchRounds = 7;
// The DLL beside hostsim that exports the empty SimulateDLL3.
constexpr char kEmptyExportDll[] = "empty_export.dll";

// Whether the host knows the least work of a part of that display name.
bool HasLeastWork(const std::string& displayName);

// Per evaluation, the best of the rounds.
struct BenchFigures {
  double exportNs = 0;     // through the plug-in's SimulateDLL3
  double emptyCallNs = 0;  // through the empty export
  double leastWorkNs = 0;  // the part's least work inline; 0 for a part the host has no rule for
  double FloorNs() const { return emptyCallNs + leastWorkNs; }
  double Ratio() const { return exportNs / FloorNs(); }
};

// `evaluations` per figure and round; in each round the three figures are
// taken one after the other, so that they see the machine alike.
BenchFigures TimeEvaluations(const std::string& displayName, SimulateDLL3Fn plugin, SimulateDLL3Fn emptyExport,
                             unsigned char* record, int inputs, long evaluations);

}  // namespace host
