// `check`: judges any plug-in from the host's side of the interface. Each
// area yields findings (the plug-in breaks the interface), notes (worth
// knowing, not wrong) or a one-line account of what passed.
#pragma once

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

CheckReport CheckPlugin(const std::string& path, FaultGuard& guard);
std::string FormatCheckReport(const CheckReport& report);

}  // namespace host
