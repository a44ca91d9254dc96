// `check`: the conformance of plug-ins to the host's interface.
#include <cstdio>

#include "check.h"
#include "command.h"
#include "plugin_library.h"

namespace host {
namespace {

int Check(Arguments arguments) {
  if (arguments.empty()) throw Failure(UsageLine(kCheckCommand));
  // An argument that is no DLL at all is the user's mistake, not a
  // finding: it ends the command before any plug-in is judged. A DLL that
  // will not load is judged.
  for (const std::string& path : arguments) LocateDll(path);
  FaultGuard guard("  FINDING hang: ", 30);
  int findings = 0, withFindings = 0;
  for (const std::string& path : arguments) {
    const CheckReport report = CheckPlugin(path, guard);
    std::fputs(FormatCheckReport(report).c_str(), stdout);
    std::fflush(stdout);
    findings += report.Findings();
    withFindings += report.Findings() > 0;
  }
  std::printf("checked %zu plug-in%s: %s\n", arguments.size(), arguments.size() == 1 ? "" : "s",
              findings ? (std::to_string(findings) + " finding" + (findings == 1 ? "" : "s") + " in " +
                          std::to_string(withFindings) + " of them")
                             .c_str()
                       : "no findings");
  return findings ? 1 : 0;
}

}  // namespace

const Command kCheckCommand = {
    "check", {{"check DLL...", "judges plug-ins by the host's interface; exit\nstatus 1 on any finding"}}, "", Check};

}  // namespace host
