// `truth`: the truth table of a part whose outputs follow from its inputs
// alone, found by driving it.
#include <cstdio>

#include "command.h"
#include "options.h"
#include "paths.h"
#include "pin_table.h"
#include "placed_part.h"
#include "text.h"
#include "truth_table.h"

namespace host {
namespace {

std::string LevelsOf(unsigned code, int inputs) {
  std::string levels;
  for (int i = 0; i < inputs; ++i) levels += std::string(i ? " " : "") + (code >> i & 1 ? "1" : "0");
  return levels;
}

std::string JoinShown(const std::vector<double>& volts) {
  std::string text;
  for (const std::string& shown : ShownOutputs(volts)) text += (text.empty() ? "" : " ") + shown;
  return text;
}

int Truth(Arguments arguments) {
  const CommandLine line = ReadCommandLine(kTruthCommand, arguments);
  bool combinational;
  std::fputs(TruthTableText(line.operands[0], DllShown::kFullPath, combinational).c_str(), stdout);
  return combinational ? 0 : 1;
}

}  // namespace

std::string TruthTableText(const std::string& path, DllShown shown, bool& combinational) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(path);
  const PinDescription pins = DescribePins(*library);
  const int inputs = int(pins.inputs.size());
  if (inputs > kMaxTruthTableInputs)
    throw Failure(library->Path() + " has " + std::to_string(inputs) + " inputs; a truth table takes at most " +
                  std::to_string(kMaxTruthTableInputs));
  PlacedPart part(*library);
  const TruthTable truth = ExploreTruthTable(part);
  const std::string name = ShownPluginText(library->DisplayName()) + " (" + ShownDll(library->Path(), shown) + ")";
  combinational = !truth.dependsOnHistory;
  if (!combinational)
    return name + " has no truth table: its outputs depend on its history (inputs " +
           LevelsOf(truth.conflictCode, inputs) + " gave outputs " + JoinShown(truth.firstAnswer) + ", later " +
           JoinShown(truth.laterAnswer) + ")\n";
  PinTable table = PinTableFor(pins, "");
  for (unsigned code = 0; code < truth.outputs.size(); ++code) {
    std::vector<std::string> levels;
    for (int i = 0; i < inputs; ++i) levels.push_back(code >> i & 1 ? "1" : "0");
    table.rows.push_back({"", levels, ShownOutputs(truth.outputs[code])});
  }
  return name + ": truth table\n" + table.Legend() + table.Render();
}

const Command kTruthCommand = {"truth",
                               {{"truth DLL", "truth table of a combinational part; exit status 1\n"
                                              "for a part whose outputs depend on its history"}},
                               "",
                               Truth};

}  // namespace host
