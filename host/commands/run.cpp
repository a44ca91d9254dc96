// `run`: an instance driven through a simulation run from a stimulus
// file, as a table and as a Value Change Dump.
#include <cstdio>

#include "command.h"
#include "host_file.h"
#include "options.h"
#include "part_instance.h"
#include "paths.h"
#include "pin_table.h"
#include "settings_text.h"
#include "shown_text.h"
#include "stimulus.h"
#include "vcd_writer.h"
#include "words.h"

namespace host {
namespace {

// The steps of a stimulus file, or of standard input for "-".
std::vector<StimulusStep> ReadSteps(const std::string& path, const std::string& name, int inputs,
                                    std::string& encoding) {
  std::vector<StimulusStep> steps = ParseStimulus(ReadInput(path), name, &encoding);
  CheckStimulusWidth(steps, name, inputs);
  return steps;
}

// The settings the part holds, and what it made of those it was given.
std::string SettingsLine(PartInstance& instance, bool given, const std::string& settings) {
  const std::string held = SettingsHeld(instance);
  if (!given) return "settings " + held + ", a new part's\n";
  const std::string missed = SettingsNotTaken(settings, held);
  if (missed.empty()) return "settings " + held + ", read from --settings " + settings + "\n";
  return "settings " + held + " after --settings " + settings + ": the part did not take " + missed + "\n";
}

// The initial evaluation takes the first step's inputs, as a run that
// starts with them applied; then each step is one evaluation. Everything
// the user gave is checked before the run, the dump's file included.
int Run(Arguments arguments, FaultGuard& guard) {
  const CommandLine line = ReadCommandLine(kRunCommand, arguments);
  const std::string &dll = line.operands[0], &stimulus = line.operands[1];
  const std::string vcdPath = line.Option("--vcd"), settings = line.Option("--settings");
  const bool wantVcd = line.Has("--vcd"), haveSettings = line.Has("--settings");
  std::string encoding;
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(dll, guard);
  const PinDescription pins = DescribePins(*library);
  const std::string stimulusName = stimulus == "-" ? "(standard input)" : stimulus;
  const std::vector<StimulusStep> steps = ReadSteps(stimulus, stimulusName, int(pins.inputs.size()), encoding);
  if (wantVcd) CheckWritable(vcdPath);

  PartInstance instance(*library);
  if (haveSettings) instance.LoadSettings(SettingsBlock(settings));
  PinTable table = PinTableFor(pins, "step");
  VcdRun vcd{library->DisplayName(), pins.inputs, pins.outputs, {}, {}};
  for (std::size_t k = 0; k <= steps.size(); ++k) {
    const StimulusStep& step = steps[k == 0 ? 0 : k - 1];
    const std::vector<double> outputs = instance.Evaluate(step.volts, k == 0);
    table.rows.push_back({k == 0 ? "init" : std::to_string(k), step.written, ShownOutputs(outputs)});
    vcd.inputs.push_back(step.volts);
    vcd.outputs.push_back(outputs);
  }
  // Written before anything is printed, so that a dump that fails leaves
  // no output behind but its error.
  if (wantVcd) WriteWholeFile(vcdPath, WriteVcd(vcd));
  std::printf("%s (%s), %s of %s%s\n", ShownPluginText(library->DisplayName()).c_str(), library->Path().c_str(),
              Counted(steps.size(), "step").c_str(), FileName(stimulusName).c_str(),
              encoding.empty() ? "" : (", read as " + encoding).c_str());
  std::fputs((SettingsLine(instance, haveSettings, settings) + table.Legend() + table.Render()).c_str(), stdout);
  if (wantVcd) std::printf("wrote %s\n", vcdPath.c_str());
  return 0;
}

}  // namespace

const Command kRunCommand = {
    "run",
    {{"run DLL STIMULUS [--settings V,V...] [--vcd FILE]", "one part through a run: the initial evaluation with\n"
                                                           "the first step's inputs, then one evaluation per\n"
                                                           "step; prints a table, and with --vcd writes a Value\n"
                                                           "Change Dump for a waveform viewer"}},
    "In run, a STIMULUS of - reads standard input.\n",
    Run};

}  // namespace host
