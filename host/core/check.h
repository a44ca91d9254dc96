// `check`: judges any plug-in from the host's side of the interface. Each
// area yields findings (the plug-in breaks the interface), notes (worth
// knowing, not wrong) or a one-line account of what passed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fault_guard.h"

namespace host {

struct CheckLine {
  enum Kind { kPassed, kFinding, kNote } kind;
  std::string area;
  std::string text;  // UTF-8
};

struct CheckReport {
  std::string dll;          // the full path of the file judged
  std::string displayName;  // UTF-8; empty when there is none
  std::vector<CheckLine> lines;
  int Findings() const;
};

// Judges the plug-in and gives its report to `output` as it goes: the
// heading first, then each area's lines once the area is done, so that a
// check that ends the process on the way has shown all it found before.
using CheckOutput = std::function<void(const std::string& text)>;

// The areas in the order they are judged.
const std::vector<std::string>& CheckAreas();

// Where a check starts: at the heading and the first area, or, to go on
// after an area that took its process down, at a later area (without the
// heading). `beginning` hears of each area as it begins.
struct CheckFrom {
  std::string area;
  std::function<void(const std::string& area)> beginning;
};

CheckReport CheckPlugin(const std::string& path, FaultGuard& guard, const CheckOutput& output,
                        const CheckFrom& from = {});
// The report's last line: "  no findings", "  1 finding", "  3 findings".
std::string FormatCheckSummary(int findings);

}  // namespace host
