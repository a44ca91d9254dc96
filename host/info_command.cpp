// `info`: what a plug-in tells the host about itself.
#include <cstdio>
#include <set>

#include "cli.h"
#include "commands.h"
#include "export_table.h"

namespace host {
namespace {

std::string PinList(const char* heading, char side, const std::vector<std::string>& names, const char* labels) {
  std::string text =
      "  " + std::string(heading) + " (" + std::to_string(names.size()) + "), labels \"" + Shown(labels) + "\":\n";
  for (std::size_t k = 0; k < names.size(); ++k)
    text += "    " + std::string(1, side) + std::to_string(k) + "  " + Shown(names[k].c_str()) + "\n";
  return text;
}

std::string ExportSummary(const PluginLibrary& library) {
  const std::vector<std::string> names = ExportedNames(library.Module());
  std::set<std::string> others(names.begin(), names.end());
  int found = 0;
  std::string missing;
  for (const EntryPointName& entry : kEntryPoints) {
    if (others.erase(entry.name)) {
      ++found;
    } else {
      missing += std::string(missing.empty() ? "" : ", ") + entry.name + (entry.optional ? " (optional)" : "");
    }
  }
  std::string text = "  exports: " + std::to_string(found) + " of " + std::to_string(std::size(kEntryPoints)) +
                     " entry points" + (missing.empty() ? "" : ", without " + missing) + "\n";
  if (!others.empty()) {
    text += "  other exports:";
    for (const std::string& name : others) text += " " + name;
    text += "\n";
  }
  return text;
}

}  // namespace

std::string DescribePart(const std::string& path) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(path);
  const PinDescription pins = DescribePins(*library);
  PlacedPart part(*library);
  std::string text = FileName(path) + ": " + Shown(library->GetDLLName()) + "\n";
  text += PinList("inputs", 'i', pins.inputs, library->SetInputChar2(part.Record()));
  text += PinList("outputs", 'o', pins.outputs, library->SetOutputChar2(part.Record()));
  text += "  delay flag of a new part: " + std::to_string(library->HasDelayDLL(part.Record())) + "\n";
  return text + ExportSummary(*library);
}

int InfoCommand(Arguments arguments) {
  if (arguments.size() != 1) throw Failure("usage: hostsim info DLL");
  std::fputs(DescribePart(arguments[0]).c_str(), stdout);
  return 0;
}

}  // namespace host
