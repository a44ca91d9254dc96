// `bench`: per DLL, the time per evaluation through SimulateDLL3, its
// floor and the ratio of the two; and the imports an evaluation calls
// (none). With --goal, a ratio above the goal is a negative answer.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench.h"
#include "command.h"
#include "import_counter.h"
#include "options.h"
#include "part_instance.h"
#include "paths.h"
#include "shown_text.h"
#include "signal_encoding.h"
#include "words.h"

namespace host {
namespace {

struct BenchOptions {
  long evaluations = 1000000;
  double goal = 0;       // none
  std::string goalText;  // as given
};

constexpr long kMostEvaluations = 1000000000;

long Evaluations(const std::string& text) {
  char* end = nullptr;
  const long long count = std::strtoll(text.c_str(), &end, 10);
  if (*end || count < 1 || count > kMostEvaluations)
    throw Failure("--evaluations takes a whole number from 1 to " + std::to_string(kMostEvaluations) +
                  ", such as 100000; " + Quoted(text) + " is none");
  return long(count);
}

double Goal(const std::string& text) {
  char* end = nullptr;
  const double goal = std::strtod(text.c_str(), &end);
  if (*end || !(goal > 0) || !std::isfinite(goal))
    throw Failure("--goal takes a ratio above 0, such as 3 or 2.5; " + Quoted(text) + " is none");
  return goal;
}

BenchOptions TakeOptions(const CommandLine& line) {
  BenchOptions options;
  if (line.Has("--evaluations")) options.evaluations = Evaluations(line.Option("--evaluations"));
  if (line.Has("--goal")) {
    options.goalText = line.Option("--goal");
    options.goal = Goal(options.goalText);
  }
  return options;
}

// The empty export in hostsim's folder bench\, where no copy of the
// DLLs beside hostsim takes it along for a plug-in.
SimulateDLL3Fn LoadEmptyExport() {
  const std::string path = ProgramFolder() + "\\bench\\" + kEmptyExportDll;
  HMODULE module = LoadLibraryExW(SystemPath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const void* function =
      module ? reinterpret_cast<const void*>(GetProcAddress(module, HOST_LISTED(SimulateDLL3))) : nullptr;
  if (!function) throw Failure("cannot measure the floor: " + path + " with an empty SimulateDLL3 is missing");
  return reinterpret_cast<SimulateDLL3Fn>(function);
}

std::string Rate(double ns) {
  char text[96];
  std::snprintf(text, sizeof text, "%8.1f ns per evaluation (%.2f million per second)", ns, 1e3 / ns);
  return text;
}

std::string Listed(const std::vector<std::string>& items) { return items.empty() ? "nothing" : Joined(items, ", "); }

// Prints a part's figures; gives false when a goal was set and the ratio
// misses it.
bool ReportTimes(const BenchFigures& figures, const BenchOptions& options) {
  const bool met = options.goal == 0 || figures.Ratio() <= options.goal;
  const std::string goal = options.goal > 0 ? " (goal " + options.goalText + (met ? ": met)" : ": missed)") : "";
  std::printf("  through SimulateDLL3:  %s\n", Rate(figures.exportNs).c_str());
  std::printf("  floor:                 %s\n", Rate(figures.FloorNs()).c_str());
  std::printf("    empty export:        %8.1f ns, a call of the empty SimulateDLL3 in %s\n", figures.emptyCallNs,
              kEmptyExportDll);
  std::printf("    least inline work:   %8.1f ns, %s\n", figures.leastWorkNs, figures.leastWork.c_str());
  std::printf("  ratio to the floor:    %8.2f%s\n", figures.Ratio(), goal.c_str());
  return met;
}

// Counts the imports a part's creation calls (a positive control: the
// counter sees the DLL's allocations) and those a batch of evaluations
// calls. Gives false when the evaluations called any.
bool ReportImports(PluginLibrary& library, long evaluations) {
  ImportCounter counter(library.Module());
  if (!counter.Error().empty()) throw Failure("cannot count imports: " + counter.Error());
  std::printf("imports of %s called, counted at its %zu import slots:\n", library.Path().c_str(), counter.Imports());
  counter.Reset();
  { PartInstance instance(library); }
  std::printf("  placing and removing a part:  %s\n", Listed(counter.Called()).c_str());
  PartInstance instance(library);
  const int inputs = std::max(instance.Inputs(), 1);
  SignalArray in, out;
  std::memset(in.bytes, 0, sizeof in.bytes);  // every input at 0.0 V
  counter.Reset();
  instance.Initial(in, out);
  for (long k = 0; k < evaluations; ++k) {
    EncodeSignal(k & 1 ? 5.0 : 0.0, in.Data() + (k >> 1) % inputs * kSignalSize);
    instance.Simulate(in, out);
  }
  const bool none = counter.Total() == 0;
  std::printf("  a run of %ld evaluations:  %s%s\n", evaluations, Listed(counter.Called()).c_str(),
              none ? ", so no heap allocation" : "");
  return none;
}

// One DLL's block of the report; false for a negative answer. A part
// that changes the floating-point state is not timed further: one line
// says which call changed what, and the other DLLs are timed all the same.
bool BenchOne(const std::string& path, SimulateDLL3Fn emptyExport, const BenchOptions& options, FaultGuard& guard) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(path, guard);
  try {
    PartInstance instance(*library);
    instance.Evaluate(std::vector<double>(instance.Inputs(), 0.0), true);
    const BenchFigures figures = TimeEvaluations(library->Path(), instance, emptyExport, options.evaluations);
    std::printf("%s (%s): best of %d rounds of %ld evaluations\n", ShownPluginText(library->DisplayName()).c_str(),
                library->Path().c_str(), kBenchRounds, options.evaluations);
    const bool met = ReportTimes(figures, options);
    return ReportImports(*library, options.evaluations) && met;
  } catch (const FloatingStateChanged& change) {
    std::printf("%s: not timed: %s\n", library->Path().c_str(), change.what());
    return false;
  }
}

int Bench(Arguments arguments, FaultGuard& guard) {
  const CommandLine line = ReadCommandLine(kBenchCommand, arguments);
  const std::vector<std::string>& dlls = line.operands;
  const BenchOptions options = TakeOptions(line);
  // Every DLL is loaded before any is timed: bad input ends the command
  // before it has printed anything.
  for (const std::string& path : dlls) LoadPlugin(path, guard);
  const SimulateDLL3Fn emptyExport = LoadEmptyExport();
  bool positive = true;
  for (const std::string& path : dlls) positive = BenchOne(path, emptyExport, options, guard) && positive;
  return positive ? 0 : 1;
}

}  // namespace

const Command kBenchCommand = {
    "bench",
    {{"bench DLL... [--evaluations N] [--goal RATIO]", "time per evaluation through SimulateDLL3 against\n"
                                                       "the floor (an empty export with the same arguments\n"
                                                       "plus the part's least work inline), best of 7\n"
                                                       "rounds, and the imports an evaluation calls; exit\n"
                                                       "status 1 when an evaluation calls any, when a call\n"
                                                       "changes the floating-point state, or with --goal\n"
                                                       "when a ratio to the floor is above RATIO"}},
    "",
    Bench};

}  // namespace host
