// `bench`: evaluations per second through the exports, against the host
// doing the same inline; and the imports an evaluation calls (none).
#include <cstdio>
#include <algorithm>
#include <cstdlib>

#include "bench.h"
#include "cli.h"
#include "commands.h"
#include "import_counter.h"
#include "signal_encoding.h"

namespace host {
namespace {

std::string Rate(double ns) {
  char text[96];
  std::snprintf(text, sizeof text, "%8.1f ns per evaluation (%.2f million per second)", ns, 1e3 / ns);
  return text;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text.empty() ? "nothing" : text;
}

// Counts the imports a part's creation calls (a positive control: the
// counter sees the DLL's allocations) and those a batch of evaluations
// calls. Gives false when the evaluations called any.
bool ReportImports(PluginLibrary& library, long evaluations) {
  ImportCounter counter(library.Module());
  if (!counter.Error().empty()) throw Failure("cannot count imports: " + counter.Error());
  std::printf("imports of %s called, counted at its %zu import slots:\n", FileName(library.Path()).c_str(),
              counter.Imports());
  counter.Reset();
  {
    PlacedPart part(library);
  }
  std::printf("  placing and removing a part:  %s\n", Joined(counter.Called()).c_str());
  PlacedPart part(library);
  unsigned char in[kMaxPins * kSignalSize] = {}, out[kMaxPins * kSignalSize];
  counter.Reset();
  library.InitSimulationDLL2(0, 0, 0, part.Record(), in, out);
  for (long k = 0; k < evaluations; ++k) {
    EncodeSignal(k & 1 ? 5.0 : 0.0, in + (k >> 1) % std::max(part.Inputs(), 1) * kSignalSize);
    library.SimulateDLL3(0, 0, 0, 0, 0, 0, part.Record(), in, out);
  }
  const bool none = counter.Total() == 0;
  std::printf("  a run of %ld evaluations:  %s%s\n", evaluations, Joined(counter.Called()).c_str(),
              none ? ", so no heap allocation" : "");
  return none;
}

}  // namespace

int BenchCommand(Arguments arguments) {
  std::string count = "200000";
  TakeOption(arguments, "--evaluations", count);
  const long evaluations = std::strtol(count.c_str(), nullptr, 10);
  if (arguments.size() != 1 || evaluations < 1) throw Failure("usage: hostsim bench DLL [--evaluations N]");
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(arguments[0]);
  const std::string name = library->GetDLLName();
  const SimulateDLL3Fn baseline = InlineBaseline(name);
  PlacedPart part(*library);
  part.Evaluate(std::vector<double>(part.Inputs(), 0.0), true);
  const BenchFigures figures = TimeEvaluations(library->SimulateDLL3, baseline, part.Record(), part.Inputs(), evaluations);
  std::printf("%s (%s): best of 5 rounds of %ld evaluations\n", Shown(name.c_str()).c_str(),
              FileName(arguments[0]).c_str(), evaluations);
  std::printf("  through SimulateDLL3:  %s\n", Rate(figures.exportNs).c_str());
  if (baseline) {
    std::printf("  inline in the host:    %s\n", Rate(figures.baselineNs).c_str());
    std::printf("  ratio:                 %.2f (goal: below 1.5)\n", figures.exportNs / figures.baselineNs);
  } else {
    std::printf("  no inline rule for a part named %s, so no ratio\n", Shown(name.c_str()).c_str());
  }
  return ReportImports(*library, evaluations) ? 0 : 1;
}

}  // namespace host
