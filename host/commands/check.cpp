// `check`: the conformance of plug-ins to the host's interface, judged in
// processes of hostsim's own (check_run.h). Here: its options, the report
// printed as it comes, the files for CI and the exit status.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "check_run.h"
#include "columns.h"
#include "command.h"
#include "fault_guard.h"
#include "host_file.h"
#include "options.h"
#include "plugin_library.h"

namespace host {
namespace {

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

int ListAreas(const Arguments& arguments) {
  if (arguments.size() > 1) throw Failure("--list goes alone (" + UsageLine(kCheckCommand) + ")");
  std::size_t widest = 0;
  for (const CheckArea& area : CheckAreas()) widest = std::max(widest, std::strlen(area.name));
  for (const CheckArea& area : CheckAreas()) Print(PadRight(area.name, widest + 2) + area.description + "\n");
  return 0;
}

int Check(Arguments arguments, FaultGuard& guard) {
  if (!arguments.empty() && arguments.front() == "--list") return ListAreas(arguments);
  const CommandLine line = ReadCommandLine(kCheckCommand, arguments);
  const std::vector<std::string> areas = SelectedAreas(line.Option("--only"), line.Option("--skip"));
  for (const char* report : {"--junit", "--json"})
    if (line.Has(report)) CheckWritable(line.Option(report));
  // An argument that is no DLL at all is the user's mistake, not a
  // finding: it ends the command before any plug-in is judged. A DLL that
  // will not load is judged.
  std::vector<std::string> located;
  for (const std::string& path : line.operands) located.push_back(LocateDll(path));
  if (IsCheckChild()) return JudgeForParent(located, areas, guard);
  const CheckResult result = JudgeInChildren(located, areas, Print);
  Print(CheckTotalText(result));
  if (line.Has("--junit")) WriteWholeFile(line.Option("--junit"), CheckJUnit(result));
  if (line.Has("--json")) WriteWholeFile(line.Option("--json"), CheckJson(result));
  return result.Findings() ? 1 : 0;
}

}  // namespace

const Command kCheckCommand = {"check",
                               {{"check DLL... [--only AREA,...] [--skip AREA,...] [--junit FILE] [--json FILE]",
                                 "judges plug-ins by the host's interface, every\n"
                                 "area or those of --only, or all but those of --skip;\n"
                                 "exit status 1 on any finding; --junit and --json\n"
                                 "write the report for CI"},
                                {"check --list", "the areas check judges, each with what it judges"}},
                               "",
                               Check};

}  // namespace host
