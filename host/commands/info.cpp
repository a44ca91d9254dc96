// `info`: what a plug-in tells the host about itself.
#include <cstdio>
#include <set>

#include "command.h"
#include "export_table.h"
#include "options.h"
#include "paths.h"
#include "placed_part.h"
#include "text.h"

namespace host {
namespace {

std::string PinList(const char* heading, char side, const std::vector<std::string>& names, const char* labels) {
  std::string text = "  " + std::string(heading) + " (" + std::to_string(names.size()) + "), labels \"" +
                     ShownPluginText(labels) + "\":\n";
  for (std::size_t k = 0; k < names.size(); ++k)
    text += "    " + std::string(1, side) + std::to_string(k) + "  " + ShownWindows1252(names[k]) + "\n";
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

std::string DescribePart(const std::string& path, DllShown shown) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(path);
  const PinDescription pins = DescribePins(*library);
  PlacedPart part(*library);
  std::string text = ShownDll(library->Path(), shown) + ": " + ShownPluginText(library->DisplayName()) + "\n";
  text += PinList("inputs", 'i', pins.inputs, part.InputLabels());
  text += PinList("outputs", 'o', pins.outputs, part.OutputLabels());
  text += "  delay flag of a new part: " + std::to_string(part.HasDelay()) + "\n";
  return text + ExportSummary(*library);
}

namespace {

int Info(Arguments arguments) {
  const CommandLine line = ReadCommandLine(kInfoCommand, arguments);
  std::fputs(DescribePart(line.operands[0], DllShown::kFullPath).c_str(), stdout);
  return 0;
}

}  // namespace

const Command kInfoCommand = {"info", {{"info DLL", "display name, pins, labels, delay flag, exports"}}, "", Info};

}  // namespace host
