// `check`: the conformance of plug-ins to the host's interface. Each DLL is
// judged in a process of its own, so that one that takes its process down
// (past the fault guard, or by hanging) costs its own report, not the
// others'.
#include <cstdio>
#include <sstream>

#include "check.h"
#include "child_process.h"
#include "command.h"
#include "fault_guard.h"
#include "options.h"
#include "plugin_library.h"
#include "text.h"

namespace host {
namespace {

// Set in the environment of the process that judges one DLL.
constexpr char kChildFlag[] = "HOSTSIM_CHECK_ONE";
// For the whole check of one DLL; a single call has the command's limit.
constexpr unsigned kSecondsPerPlugin = 300;

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

// In the child: one DLL, its report on standard output as it goes.
int CheckOne(const std::string& path) {
  CommandGuard()->SetHangReport("  FINDING hang: ", stdout);
  const CheckReport report = CheckPlugin(path, *CommandGuard(), Print);
  Print(FormatCheckSummary(report.Findings()));
  return report.Findings() ? 1 : 0;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

int FindingsIn(const std::string& report) {
  int findings = 0;
  for (const std::string& line : Lines(report)) findings += line.compare(0, 10, "  FINDING ") == 0;
  return findings;
}

bool IsComplete(const std::string& report) {
  const std::vector<std::string> lines = Lines(report);
  return !lines.empty() && lines.back() + "\n" == FormatCheckSummary(FindingsIn(report));
}

// What a child that ended on the way could not say for itself: its
// heading where it printed none, why it ended, and the summary.
std::string EndOfReport(const std::string& path, const ChildOutcome& child) {
  std::string text = child.out.empty() ? path + "\n" : child.out.back() == '\n' ? "" : "\n";
  int added = 0;
  for (const std::string& line : Lines(child.err))
    if (line.compare(0, 9, "hostsim: ") == 0) {
      text += "  FINDING end: " + line.substr(9) + "\n";
      ++added;
    }
  if (child.timedOut) {
    text += "  FINDING end: not judged within " + std::to_string(kSecondsPerPlugin) + " s\n";
    ++added;
  } else if (added == 0 && FindingsIn(child.out) == 0) {
    text += "  FINDING end: the process judging it ended with exit status " + std::to_string(child.status) + "\n";
    ++added;
  }
  return text + FormatCheckSummary(FindingsIn(child.out) + added);
}

// One DLL judged in a child; gives its findings.
int JudgeInChild(const std::string& path) {
  const ChildOutcome child = RunThisProgramAgain({"check", path}, kChildFlag, kSecondsPerPlugin, Print);
  if (IsComplete(child.out)) return FindingsIn(child.out);
  const std::string end = EndOfReport(path, child);
  Print(end);
  return FindingsIn(child.out + end);
}

int Check(Arguments arguments) {
  const std::vector<std::string> dlls = ReadCommandLine(kCheckCommand, arguments).operands;
  if (IsChild(kChildFlag)) return CheckOne(dlls.at(0));
  // An argument that is no DLL at all is the user's mistake, not a
  // finding: it ends the command before any plug-in is judged.
  for (const std::string& path : dlls) {
    PluginLibrary library;
    try {
      library.Load(path);
    } catch (const Failure&) {
      if (!library.Loaded()) throw;
    }
  }
  int findings = 0, withFindings = 0;
  for (const std::string& path : dlls) {
    const int found = JudgeInChild(path);
    findings += found;
    withFindings += found > 0;
  }
  std::printf(
      "checked %s: %s\n", Counted(dlls.size(), "plug-in").c_str(),
      findings
          ? (Counted(std::size_t(findings), "finding") + " in " + std::to_string(withFindings) + " of them").c_str()
          : "no findings");
  return findings ? 1 : 0;
}

}  // namespace

const Command kCheckCommand = {
    "check", {{"check DLL...", "judges plug-ins by the host's interface; exit\nstatus 1 on any finding"}}, "", Check};

}  // namespace host
