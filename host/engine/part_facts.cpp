#include "part_facts.h"

#include <set>

#include "export_table.h"
#include "failure.h"
#include "json_text.h"
#include "pin_table.h"
#include "plugin_library.h"
#include "shown_text.h"
#include "words.h"

namespace host {
namespace {

PinSide SideOf(const std::vector<std::string>& names, const char* labels) {
  PinSide side;
  side.labels = ShownPluginText(labels);
  for (const std::string& name : names) side.names.push_back(ShownWindows1252(name));
  return side;
}

void ReadExports(const PluginLibrary& library, PartFacts& facts) {
  const std::vector<std::string> names = ExportedNames(library.Module());
  std::set<std::string> others(names.begin(), names.end());
  for (const EntryPointName& entry : kEntryPoints)
    if (!others.erase(entry.name)) facts.missing.push_back(entry);
  facts.otherExports.assign(others.begin(), others.end());
}

std::string PinList(const char* heading, char side, const PinSide& pins) {
  std::string text =
      "  " + std::string(heading) + " (" + std::to_string(pins.names.size()) + "), labels \"" + pins.labels + "\":\n";
  for (std::size_t k = 0; k < pins.names.size(); ++k)
    text += "    " + std::string(1, side) + std::to_string(k) + "  " + pins.names[k] + "\n";
  return text;
}

std::size_t EntryPointsExported(const PartFacts& facts) { return std::size(kEntryPoints) - facts.missing.size(); }

std::string ExportSummary(const PartFacts& facts) {
  std::string missing;
  for (const EntryPointName& entry : facts.missing)
    missing += std::string(missing.empty() ? "" : ", ") + entry.name + (entry.optional ? " (optional)" : "");
  std::string text = "  exports: " + std::to_string(EntryPointsExported(facts)) + " of " +
                     std::to_string(std::size(kEntryPoints)) + " entry points" +
                     (missing.empty() ? "" : ", without " + missing) + "\n";
  if (!facts.otherExports.empty()) {
    text += "  other exports:";
    for (const std::string& name : facts.otherExports) text += " " + name;
    text += "\n";
  }
  return text;
}

std::string PinSideJson(const PinSide& pins) {
  return "{\"labels\": " + JsonText(pins.labels) + ", \"names\": " + JsonList(pins.names, JsonText) + "}";
}

std::string MissingJson(const EntryPointName& entry) {
  return std::string("{\"name\": ") + JsonText(entry.name) + ", \"optional\": " + (entry.optional ? "true" : "false") +
         "}";
}

// Each input's level in `code`, bit 0 the first input's.
std::vector<std::string> LevelsOf(unsigned code, std::size_t inputs) {
  std::vector<std::string> levels;
  for (std::size_t i = 0; i < inputs; ++i) levels.push_back(code >> i & 1 ? "1" : "0");
  return levels;
}

std::string Heading(const TruthFacts& facts, DllShown shown) {
  return facts.name + " (" + ShownDll(facts.dll, shown) + ")";
}

std::string OutputsJson(const std::vector<double>& volts) { return JsonList(ShownOutputs(volts), JsonText); }

std::string RowsJson(const TruthFacts& facts) {
  std::string rows;
  for (unsigned code = 0; code < facts.table.outputs.size(); ++code)
    rows += std::string(code ? "," : "") + "\n    {\"inputs\": [" + Joined(LevelsOf(code, facts.inputs.size()), ", ") +
            "], \"outputs\": " + OutputsJson(facts.table.outputs[code]) + "}";
  return "[" + rows + "]";
}

std::string HistoryJson(const TruthFacts& facts) {
  return "{\"inputs\": [" + Joined(LevelsOf(facts.table.conflictCode, facts.inputs.size()), ", ") +
         "], \"first\": " + OutputsJson(facts.table.firstAnswer) +
         ", \"later\": " + OutputsJson(facts.table.laterAnswer) + "}";
}

}  // namespace

std::string ShownDll(const std::string& fullPath, DllShown shown) {
  return shown == DllShown::kFullPath ? fullPath : fullPath.substr(fullPath.find_last_of('\\') + 1);
}

PartFacts ReadPartFacts(const std::string& path, FaultGuard& guard) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(path, guard);
  const PinDescription pins = DescribePins(*library);
  PartInstance instance(*library);
  PartFacts facts;
  facts.dll = library->Path();
  facts.name = ShownPluginText(library->DisplayName());
  facts.inputs = SideOf(pins.inputs, instance.InputLabels());
  facts.outputs = SideOf(pins.outputs, instance.OutputLabels());
  facts.delayFlag = instance.HasDelay();
  ReadExports(*library, facts);
  return facts;
}

std::string PartFactsText(const PartFacts& facts, DllShown shown) {
  return ShownDll(facts.dll, shown) + ": " + facts.name + "\n" + PinList("inputs", 'i', facts.inputs) +
         PinList("outputs", 'o', facts.outputs) + "  delay flag of a new part: " + std::to_string(facts.delayFlag) +
         "\n" + ExportSummary(facts);
}

std::string PartFactsJson(const PartFacts& facts) {
  return "{\n  \"dll\": " + JsonText(facts.dll) + ",\n  \"name\": " + JsonText(facts.name) +
         ",\n  \"inputs\": " + PinSideJson(facts.inputs) + ",\n  \"outputs\": " + PinSideJson(facts.outputs) +
         ",\n  \"delayFlag\": " + std::to_string(facts.delayFlag) +
         ",\n  \"entryPoints\": {\"exported\": " + std::to_string(EntryPointsExported(facts)) +
         ", \"of\": " + std::to_string(std::size(kEntryPoints)) +
         ", \"missing\": " + JsonList(facts.missing, MissingJson) +
         "},\n  \"otherExports\": " + JsonList(facts.otherExports, JsonText) + "\n}\n";
}

TruthFacts ReadTruthFacts(const std::string& path, FaultGuard& guard) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(path, guard);
  const PinDescription pins = DescribePins(*library);
  const int inputs = int(pins.inputs.size());
  if (inputs > kMaxTruthTableInputs)
    throw Failure(library->Path() + " has " + std::to_string(inputs) + " inputs; a truth table takes at most " +
                  std::to_string(kMaxTruthTableInputs));
  PartInstance instance(*library);
  TruthFacts facts;
  facts.table = ExploreTruthTable(instance);
  facts.dll = library->Path();
  facts.name = ShownPluginText(library->DisplayName());
  facts.inputs = ShownPluginTexts(pins.inputs);
  facts.outputs = ShownPluginTexts(pins.outputs);
  return facts;
}

std::string TruthFactsText(const TruthFacts& facts, DllShown shown) {
  if (!facts.Combinational())
    return Heading(facts, shown) + " has no truth table: its outputs depend on its history (inputs " +
           Joined(LevelsOf(facts.table.conflictCode, facts.inputs.size()), " ") + " gave outputs " +
           Joined(ShownOutputs(facts.table.firstAnswer), " ") + ", later " +
           Joined(ShownOutputs(facts.table.laterAnswer), " ") + ")\n";
  PinTable table;
  table.inputNames = facts.inputs;
  table.outputNames = facts.outputs;
  for (unsigned code = 0; code < facts.table.outputs.size(); ++code)
    table.rows.push_back({"", LevelsOf(code, facts.inputs.size()), ShownOutputs(facts.table.outputs[code])});
  return Heading(facts, shown) + ": truth table\n" + table.Legend() + table.Render();
}

std::string TruthFactsJson(const TruthFacts& facts) {
  return "{\n  \"dll\": " + JsonText(facts.dll) + ",\n  \"name\": " + JsonText(facts.name) +
         ",\n  \"inputs\": " + JsonList(facts.inputs, JsonText) +
         ",\n  \"outputs\": " + JsonList(facts.outputs, JsonText) + ",\n  \"combinational\": " +
         (facts.Combinational() ? "true,\n  \"rows\": " + RowsJson(facts)
                                : "false,\n  \"history\": " + HistoryJson(facts)) +
         "\n}\n";
}

}  // namespace host
