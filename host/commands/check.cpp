// `check`: the conformance of plug-ins to the host's interface. The DLLs
// are judged in a process of hostsim's own: an area that takes that process
// down (a crash past the guard, a hang, an exception let out, damage that
// ends it later) is a finding of that area, and a new process goes on with
// the next area. --junit and --json write the reports for CI.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "check.h"
#include "child_process.h"
#include "command.h"
#include "fault_guard.h"
#include "host_file.h"
#include "junit.h"
#include "options.h"
#include "plugin_library.h"
#include "text.h"

namespace host {
namespace {

// Set in the environment of the process that judges the DLLs: where it
// starts, "DLL AREA FINDINGS" (the DLL's number from 0, the area or - for
// its start, and the findings it already has).
constexpr char kChildFlag[] = "HOSTSIM_CHECK_FROM";
// What the child says on its error output of its way through the DLLs.
constexpr char kAtMark[] = "hostsim-check at: ";
constexpr char kDoneMark[] = "hostsim-check done";
// For one process's part of a check; a single call has the command's limit.
constexpr unsigned kSecondsPerProcess = 300;

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

void Mark(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

struct Position {
  std::size_t dll = 0;
  std::string area = "-";
  int findings = 0;  // those the DLL's report already holds
};

std::string FlagOf(const Position& at) {
  return std::to_string(at.dll) + " " + at.area + " " + std::to_string(at.findings);
}

Position PositionOf(const std::string& flag) {
  Position at;
  std::istringstream(flag) >> at.dll >> at.area >> at.findings;
  return at;
}

// In the child: the DLLs from a position on, their reports on standard
// output as they go, each with its summary line. A hang is reported as a
// finding of the area it happens in.
int CheckInChild(const std::vector<std::string>& dlls, const Position& start) {
  for (std::size_t k = start.dll; k < dlls.size(); ++k) {
    const bool resumed = k == start.dll && start.area != "-";
    Mark(kAtMark + std::to_string(k) + " -");
    CheckFrom from{resumed ? start.area : "", [k](const std::string& area) {
                     CommandGuard()->SetHangReport("  FINDING " + area + ": ", stdout);
                     Mark(kAtMark + std::to_string(k) + " " + area);
                   }};
    const CheckReport report = CheckPlugin(dlls[k], *CommandGuard(), Print, from);
    Print(FormatCheckSummary(report.Findings() + (k == start.dll ? start.findings : 0)));
  }
  Mark(kDoneMark);
  return 0;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

bool Starts(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// A report's lines read back: the area and what was found there.
struct ReportLine {
  std::string kind, area, text;
};

std::vector<ReportLine> ReportLines(const std::string& report) {
  std::vector<ReportLine> lines;
  for (const std::string& line : Lines(report)) {
    const std::size_t colon = line.find(": ", 10);
    if (line.size() < 12 || !Starts(line, "  ") || line[2] == ' ' || colon == std::string::npos) continue;
    std::string kind = line.substr(2, 7);
    while (!kind.empty() && kind.back() == ' ') kind.pop_back();
    lines.push_back({kind, line.substr(10, colon - 10), line.substr(colon + 2)});
  }
  return lines;
}

int FindingsIn(const std::string& report) {
  int findings = 0;
  for (const ReportLine& line : ReportLines(report)) findings += line.kind == "FINDING";
  return findings;
}

// "  no findings", "  1 finding", "  3 findings".
bool IsSummary(const std::string& line) {
  if (line == "  no findings") return true;
  std::size_t digits = 2;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  return Starts(line, "  ") && digits > 2 && (line.substr(digits) == " finding" || line.substr(digits) == " findings");
}

// The report of the DLL under way: what follows the last summary line.
std::string Unfinished(const std::string& transcript) {
  std::string report;
  for (const std::string& line : Lines(transcript)) {
    report += line + "\n";
    if (IsSummary(line)) report.clear();
  }
  return report;
}

// The transcript of the whole check cut into the DLLs' reports: each ends
// with its summary line.
std::vector<std::string> Reports(const std::string& transcript) {
  std::vector<std::string> reports(1);
  for (const std::string& line : Lines(transcript)) {
    reports.back() += line + "\n";
    if (IsSummary(line)) reports.emplace_back();
  }
  reports.pop_back();
  return reports;
}

// What a child that ended on the way could not say for itself, as a
// finding of the area it was in.
std::string EndOfArea(const std::string& area, const ChildOutcome& child) {
  const std::string prefix = "  FINDING " + area + ": ";
  std::string text;
  for (const std::string& line : Lines(child.err))
    if (Starts(line, "hostsim: ")) text += prefix + line.substr(9) + "\n";
  if (child.timedOut)
    text += prefix + "not judged within " + std::to_string(kSecondsPerProcess) + " s\n";
  else if (text.empty() && child.out.find(prefix) == std::string::npos)
    text += prefix + "the process judging it ended in the middle of the area, with exit status " +
            std::to_string(child.status) + "\n";
  return text;
}

// Where the child was when it ended: the last of its marks.
Position LastPosition(const std::string& err) {
  Position at;
  for (const std::string& line : Lines(err))
    if (Starts(line, kAtMark)) at = PositionOf(line.substr(sizeof kAtMark - 1));
  return at;
}

// Every DLL judged, in as few children as it takes: one, unless an area
// takes its child down; the next child goes on with the next area.
// `located`: each DLL's full path, its report's heading.
std::string JudgeAll(const std::vector<std::string>& dlls, const std::vector<std::string>& located) {
  std::string transcript;
  auto say = [&](const std::string& text) {
    Print(text);
    transcript += text;
  };
  std::vector<std::string> arguments = {"check"};
  arguments.insert(arguments.end(), dlls.begin(), dlls.end());
  const std::vector<std::string>& areas = CheckAreas();
  for (Position from;;) {
    const ChildOutcome child = RunThisProgramAgain(arguments, kChildFlag, FlagOf(from), kSecondsPerProcess, Print);
    transcript += child.out;
    if (child.err.find(kDoneMark) != std::string::npos) break;
    Position at = LastPosition(child.err);
    if (!transcript.empty() && transcript.back() != '\n') say("\n");
    if (Unfinished(transcript).empty()) say(located[at.dll] + "\n");
    say(EndOfArea(at.area == "-" ? "load" : at.area, child));
    const int sofar = FindingsIn(Unfinished(transcript));
    const auto next = at.area == "-" ? areas.end() : std::find(areas.begin(), areas.end(), at.area) + 1;
    if (next == areas.end()) {
      say(FormatCheckSummary(sofar));
      if (++at.dll == dlls.size()) break;
      from = Position{at.dll, "-", 0};
    } else {
      from = Position{at.dll, *next, sofar};
    }
  }
  return transcript;
}

struct Judged {
  std::string path, name, report;  // the report as printed, heading first
  int findings = 0;
};

std::vector<Judged> JudgedOf(const std::vector<std::string>& dlls, const std::string& transcript) {
  std::vector<Judged> all;
  const std::vector<std::string> reports = Reports(transcript);
  for (std::size_t k = 0; k < dlls.size() && k < reports.size(); ++k) {
    Judged judged{dlls[k], "", reports[k], FindingsIn(reports[k])};
    const std::string heading = Lines(reports[k]).front();
    if (heading.size() > dlls[k].size() + 2)
      judged.name = heading.substr(dlls[k].size() + 2, heading.size() - dlls[k].size() - 3);
    all.push_back(judged);
  }
  return all;
}

std::string JsonText(const std::string& utf8) {
  std::string text = "\"";
  for (char c : utf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text += '\\';
      text += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", byte);
      text += escape;
    } else {
      text += c;
    }
  }
  return text + "\"";
}

// {"plugins": [{"dll", "name", "findings", "lines": [{"kind", "area", "text"}]}], "findings": N}
std::string JsonReport(const std::vector<Judged>& all) {
  std::string json = "{\n  \"plugins\": [";
  int findings = 0;
  for (std::size_t k = 0; k < all.size(); ++k) {
    findings += all[k].findings;
    json += std::string(k ? "," : "") + "\n    {\"dll\": " + JsonText(all[k].path) +
            ", \"name\": " + JsonText(all[k].name) + ", \"findings\": " + std::to_string(all[k].findings) +
            ", \"lines\": [";
    const std::vector<ReportLine> lines = ReportLines(all[k].report);
    for (std::size_t j = 0; j < lines.size(); ++j)
      json += std::string(j ? "," : "") + "\n      {\"kind\": " + JsonText(lines[j].kind) +
              ", \"area\": " + JsonText(lines[j].area) + ", \"text\": " + JsonText(lines[j].text) + "}";
    json += "]}";
  }
  return json + "],\n  \"findings\": " + std::to_string(findings) + "\n}\n";
}

// One suite per DLL, one case per area, a failure per finding.
std::string JUnitReport(const std::vector<Judged>& all) {
  std::vector<JUnitSuite> suites;
  for (const Judged& judged : all) {
    JUnitSuite suite{judged.path, {}};
    for (const ReportLine& line : ReportLines(judged.report)) {
      if (suite.cases.empty() || suite.cases.back().name != line.area) suite.cases.push_back({line.area, {}});
      if (line.kind == "FINDING") suite.cases.back().failures.push_back(line.text);
    }
    suites.push_back(suite);
  }
  return JUnitXml("hostsim check", suites);
}

int Check(Arguments arguments) {
  const CommandLine line = ReadCommandLine(kCheckCommand, arguments);
  const std::vector<std::string>& dlls = line.operands;
  if (IsChild(kChildFlag)) return CheckInChild(dlls, PositionOf(ChildFlag(kChildFlag)));
  for (const char* report : {"--junit", "--json"})
    if (line.Has(report)) CheckWritable(line.Option(report));
  // An argument that is no DLL at all is the user's mistake, not a
  // finding: it ends the command before any plug-in is judged. A DLL that
  // will not load is judged.
  std::vector<std::string> located;
  for (const std::string& path : dlls) located.push_back(LocateDll(path));
  const std::vector<Judged> all = JudgedOf(located, JudgeAll(dlls, located));
  int findings = 0, withFindings = 0;
  for (const Judged& judged : all) {
    findings += judged.findings;
    withFindings += judged.findings > 0;
  }
  std::printf(
      "checked %s: %s\n", Counted(dlls.size(), "plug-in").c_str(),
      findings
          ? (Counted(std::size_t(findings), "finding") + " in " + std::to_string(withFindings) + " of them").c_str()
          : "no findings");
  if (line.Has("--junit")) WriteWholeFile(line.Option("--junit"), JUnitReport(all));
  if (line.Has("--json")) WriteWholeFile(line.Option("--json"), JsonReport(all));
  return findings ? 1 : 0;
}

}  // namespace

const Command kCheckCommand = {
    "check",
    {{"check DLL... [--junit FILE] [--json FILE]", "judges plug-ins by the host's interface; exit\n"
                                                   "status 1 on any finding; --junit and --json write\n"
                                                   "the report for CI"}},
    "",
    Check};

}  // namespace host
