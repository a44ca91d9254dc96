// Any bytes may stand where `run` expects a stimulus file. They give steps
// whose values read again as the finite voltages kept for them, and that read
// back the same when written out one step a line; or a Failure naming the
// file and a line of it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "failure.h"
#include "project_format.h"
#include "require.h"
#include "stimulus.h"
#include "utf16.h"

namespace {

using fuzz::Require;

const std::string kName = "fuzzed.stim";

std::vector<std::vector<double>> Volts(const std::vector<host::StimulusStep>& steps) {
  std::vector<std::vector<double>> volts;
  for (const host::StimulusStep& step : steps) volts.push_back(step.volts);
  return volts;
}

std::string WrittenOut(const std::vector<host::StimulusStep>& steps) {
  std::string file;
  for (const host::StimulusStep& step : steps) {
    for (const std::string& value : step.written) file += value + " ";
    file += "\n";
  }
  return file;
}

void RequireSteps(const std::vector<host::StimulusStep>& steps) {
  Require(!steps.empty());
  int previousLine = 0;
  for (const host::StimulusStep& step : steps) {
    Require(step.line > previousLine && !step.volts.empty() && step.volts.size() == step.written.size());
    for (std::size_t k = 0; k < step.volts.size(); ++k) {
      double volts = 0;
      Require(host::ParseStimulusValue(step.written[k], volts) && volts == step.volts[k] && std::isfinite(volts));
    }
    previousLine = step.line;
  }
  Require(Volts(host::ParseStimulus(WrittenOut(steps), kName)) == Volts(steps));
}

// "NAME:LINE: reason" with LINE a line of the file, or a file without steps.
void RequireLocated(const std::string& failure, const std::string& file) {
  if (failure == kName + ": no steps (one line of input values per step)") return;
  std::string encoding;
  const std::size_t lines = host::SplitLines(host::UserFileText(file, encoding), 0).size();
  std::size_t at = 0, line = 0;
  std::string name, lineText;
  Require(fuzz::ReadUpTo(failure, at, ":", name) && name == kName);
  Require(fuzz::ReadUpTo(failure, at, ": ", lineText) && fuzz::ReadNumber(lineText, lines, line));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  std::vector<host::StimulusStep> steps;
  const std::string failure = host::FailureOf([&] { steps = host::ParseStimulus(file, kName); });
  if (failure.empty())
    RequireSteps(steps);
  else
    RequireLocated(failure, file);
  return 0;
}
