// `check` run so that no plug-in can take the verdict down with it: the
// DLLs are judged in processes of hostsim's own, which send what they judge
// as records; the report, its summary and the exit status are made from
// those records alone. An area that takes its process down (a crash past
// the guard, a hang, an exception let out, damage that ends it later, at
// any exit status) is a finding of that area, and a new process goes on
// with the next area.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "check_report.h"
#include "fault_guard.h"

namespace host {

// The areas to judge, in the order of CheckAreas, from the lists of
// --only and --skip (area names separated by commas; empty where the
// option is not given). Throws a Failure, naming the areas there are, for
// a name that is none of them, for both lists given, and where no area is
// left.
std::vector<std::string> SelectedAreas(const std::string& only, const std::string& skip);

// Every DLL (full paths) judged in as few processes as it takes: one,
// unless an area takes its process down. `print` gets the report's text
// as the records come: each DLL's heading, each area's lines once the area
// is done, each DLL's summary line.
CheckResult JudgeInChildren(const std::vector<std::string>& dlls, const std::vector<std::string>& areas,
                            const std::function<void(const std::string&)>& print);

// Whether this process is one of those, and its work: the DLLs from where
// its parent said on, the records sent as they come. Gives the exit status.
bool IsCheckChild();
int JudgeForParent(const std::vector<std::string>& dlls, const std::vector<std::string>& areas, FaultGuard& guard);

}  // namespace host
