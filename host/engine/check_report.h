// What `check` judged, as the parent process gathered it from the records
// of the processes that judged, and the reports made from it: the text as
// printed, JUnit and JSON for CI, the summary line.
#pragma once

#include <string>
#include <vector>

#include "check.h"

namespace host {

struct JudgedPlugin {
  std::string dll;          // the full path of the file judged
  std::string displayName;  // UTF-8; empty when there is none
  // The areas judged that said something (an area with nothing to judge
  // says nothing), in order, and any other area a finding was made in (its
  // loading, say): the JUnit cases.
  std::vector<std::string> areas;
  std::vector<CheckLine> lines;  // in the order of the report
  int Findings() const;
};

struct CheckResult {
  std::vector<JudgedPlugin> plugins;
  int Findings() const;
};

// The pieces of the report as printed.
std::string CheckHeadingText(const JudgedPlugin& plugin);  // "PATH (NAME)\n"
std::string CheckLineText(const CheckLine& line);          // "  FINDING area: text\n"
std::string CheckSummaryText(int findings);                // "  no findings\n", "  3 findings\n"
// "checked 3 plug-ins: 2 findings in 1 of them\n"
std::string CheckTotalText(const CheckResult& result);

// One suite per DLL, one case per area, a failure per finding.
std::string CheckJUnit(const CheckResult& result);
// {"plugins": [{"dll", "name", "findings", "areas": [...],
//   "lines": [{"kind", "area", "text"}]}], "findings": N}
std::string CheckJson(const CheckResult& result);

}  // namespace host
