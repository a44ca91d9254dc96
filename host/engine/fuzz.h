// `fuzz`: random sequences of legal calls into several parts of one
// plug-in at once, judged after every call by what the interface promises.
// The calls follow from the seed alone, so that a seed replays a run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "fault_guard.h"

namespace host {

// A run ends after so many calls, or once so many seconds have gone by.
struct FuzzBound {
  long calls = 0;
  double seconds = 0;
};

struct FuzzOutcome {
  long calls = 0;  // the one with the findings last, where there are any
  int findings = 0;
  double seconds = 0;
};

// Runs until the bound or the first call with findings, which it gives to
// `output`: "FINDING call N: " and the call, then a line per finding.
// Throws a Failure where the DLL does not load as a plug-in.
using FuzzOutput = std::function<void(const std::string& text)>;
FuzzOutcome FuzzPlugin(const std::string& path, std::uint64_t seed, const FuzzBound& bound, FaultGuard& guard,
                       const FuzzOutput& output);

}  // namespace host
