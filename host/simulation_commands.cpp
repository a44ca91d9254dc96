// `run` and `truth`: a placed part driven through a simulation run.
#include <cstdio>

#include "cli.h"
#include "commands.h"
#include "host_file.h"
#include "pin_table.h"
#include "project.h"
#include "stimulus.h"
#include "text.h"
#include "truth_table.h"
#include "vcd_writer.h"

namespace host {
namespace {

PinTable TableFor(const PinDescription& pins, const char* firstColumn) {
  PinTable table;
  table.firstColumn = firstColumn;
  table.inputNames = ShownNames(pins.inputs);
  table.outputNames = ShownNames(pins.outputs);
  return table;
}

std::vector<std::string> ShownOutputs(const std::vector<double>& volts) {
  std::vector<std::string> shown;
  for (double v : volts) shown.push_back(ShownOutput(v));
  return shown;
}

std::string LevelsOf(unsigned code, int inputs) {
  std::string levels;
  for (int i = 0; i < inputs; ++i) levels += std::string(i ? " " : "") + (code >> i & 1 ? "1" : "0");
  return levels;
}

std::string JoinShown(const std::vector<double>& volts) {
  std::string text;
  for (double v : volts) text += (text.empty() ? "" : " ") + ShownOutput(v);
  return text;
}

// The steps of a stimulus file, or of standard input for "-".
std::vector<StimulusStep> ReadSteps(const std::string& path, const std::string& name, int inputs,
                                    std::string& encoding) {
  std::vector<StimulusStep> steps = ParseStimulus(ReadWholeFile(path), name, &encoding);
  CheckStimulusWidth(steps, name, inputs);
  return steps;
}

// The settings the part holds, and what it made of those it was given.
std::string SettingsLine(PlacedPart& part, bool given, const std::string& settings) {
  const std::string held = SettingsOfBlock(part.SavedBlock());
  if (!given) return "settings " + held + ", a new part's\n";
  const std::string missed = SettingsNotTaken(settings, held);
  if (missed.empty()) return "settings " + held + ", read from --settings " + settings + "\n";
  return "settings " + held + " after --settings " + settings + ": the part did not take " + missed + "\n";
}

}  // namespace

// The initial evaluation takes the first step's inputs, as a run that
// starts with them applied; then each step is one evaluation. Everything
// the user gave is checked before the run, the dump's file included.
int RunCommand(Arguments arguments) {
  std::string vcdPath, settings, encoding;
  const bool wantVcd = TakeOption(arguments, "--vcd", vcdPath);
  const bool haveSettings = TakeOption(arguments, "--settings", settings);
  if (arguments.size() != 2) throw Failure("usage: hostsim run DLL STIMULUS [--settings V,V...] [--vcd FILE]");
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(arguments[0]);
  const PinDescription pins = DescribePins(*library);
  const std::string stimulusName = arguments[1] == "-" ? "(standard input)" : arguments[1];
  const std::vector<StimulusStep> steps = ReadSteps(arguments[1], stimulusName, int(pins.inputs.size()), encoding);
  HostFile vcdFile;
  if (wantVcd) vcdFile.Create(vcdPath);

  PlacedPart part(*library);
  if (haveSettings) part.LoadSettings(SettingsBlock(settings));
  PinTable table = TableFor(pins, "step");
  VcdRun vcd{library->GetDLLName(), pins.inputs, pins.outputs, {}, {}};
  for (std::size_t k = 0; k <= steps.size(); ++k) {
    const StimulusStep& step = steps[k == 0 ? 0 : k - 1];
    const std::vector<double> outputs = part.Evaluate(step.volts, k == 0);
    table.rows.push_back({k == 0 ? "init" : std::to_string(k), step.written, ShownOutputs(outputs)});
    vcd.inputs.push_back(step.volts);
    vcd.outputs.push_back(outputs);
  }
  std::printf("%s (%s), %s of %s%s\n", Shown(library->GetDLLName()).c_str(), FileName(arguments[0]).c_str(),
              Counted(steps.size(), "step").c_str(), FileName(stimulusName).c_str(),
              encoding.empty() ? "" : (", read as " + encoding).c_str());
  std::fputs((SettingsLine(part, haveSettings, settings) + table.Legend() + table.Render()).c_str(), stdout);
  if (wantVcd) {
    if (!vcdFile.Write(WriteVcd(vcd)))
      throw Failure("cannot write " + vcdPath + ": " + SystemErrorText(GetLastError()));
    std::printf("wrote %s\n", vcdPath.c_str());
  }
  return 0;
}

std::string TruthTableText(const std::string& path, bool& combinational) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(path);
  const PinDescription pins = DescribePins(*library);
  const int inputs = int(pins.inputs.size());
  if (inputs > kMaxTruthTableInputs)
    throw Failure(FileName(path) + " has " + std::to_string(inputs) + " inputs; a truth table takes at most " +
                  std::to_string(kMaxTruthTableInputs));
  PlacedPart part(*library);
  const TruthTable truth = ExploreTruthTable(part);
  const std::string name = Shown(library->GetDLLName()) + " (" + FileName(path) + ")";
  combinational = !truth.dependsOnHistory;
  if (!combinational)
    return name + " has no truth table: its outputs depend on its history (inputs " +
           LevelsOf(truth.conflictCode, inputs) + " gave outputs " + JoinShown(truth.firstAnswer) + ", later " +
           JoinShown(truth.laterAnswer) + ")\n";
  PinTable table = TableFor(pins, "");
  for (unsigned code = 0; code < truth.outputs.size(); ++code) {
    std::vector<std::string> levels;
    for (int i = 0; i < inputs; ++i) levels.push_back(code >> i & 1 ? "1" : "0");
    table.rows.push_back({"", levels, ShownOutputs(truth.outputs[code])});
  }
  return name + ": truth table\n" + table.Legend() + table.Render();
}

int TruthCommand(Arguments arguments) {
  if (arguments.size() != 1) throw Failure("usage: hostsim truth DLL");
  bool combinational;
  std::fputs(TruthTableText(arguments[0], combinational).c_str(), stdout);
  return combinational ? 0 : 1;
}

}  // namespace host
