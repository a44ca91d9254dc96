// The stand-in host: loads a plug-in DLL and drives it through its entry
// points as the simulator does.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_library.h"
#include "text.h"

namespace {

const char kUsage[] =
    "usage: hostsim COMMAND ...\n"
    "  info DLL      display name, pins and labels of a plug-in\n"
    "  truth DLL     truth table of a combinational plug-in\n"
    "  demo [DIR]    the plug-ins in DIR (default: beside hostsim) at work\n";

std::string Shown(const char* text) { return host::Utf8FromWindows1252(text ? text : "(null)"); }

int Fail(const std::string& message) {
  std::fprintf(stderr, "hostsim: %s\n", message.c_str());
  return 2;
}

void PrintInfo(const host::PluginLibrary& library) {
  const host::PinDescription pins = host::DescribePins(library);
  host::PlacedPart part(library);
  std::printf("%s\n", Shown(library.GetDLLName()).c_str());
  std::printf("  inputs (%zu), labels \"%s\":\n", pins.inputs.size(),
              Shown(library.SetInputChar2(part.Record())).c_str());
  for (std::size_t i = 0; i < pins.inputs.size(); ++i) std::printf("    %zu  %s\n", i, Shown(pins.inputs[i].c_str()).c_str());
  std::printf("  outputs (%zu), labels \"%s\":\n", pins.outputs.size(),
              Shown(library.SetOutputChar2(part.Record())).c_str());
  for (std::size_t j = 0; j < pins.outputs.size(); ++j) std::printf("    %zu  %s\n", j, Shown(pins.outputs[j].c_str()).c_str());
  std::printf("  delay flag of a new part: %d\n", library.HasDelayDLL(part.Record()));
}

// All input combinations, input 0 as the lowest bit; a fresh run per row.
void PrintTruthTable(const host::PluginLibrary& library) {
  const host::PinDescription pins = host::DescribePins(library);
  host::PlacedPart part(library);
  std::string header;
  for (std::size_t i = pins.inputs.size(); i-- > 0;) header += "in" + std::to_string(i) + " ";
  header += "|";
  for (std::size_t j = pins.outputs.size(); j-- > 0;) header += " out" + std::to_string(j);
  std::printf("%s\n", header.c_str());
  for (unsigned code = 0; code < (1u << pins.inputs.size()); ++code) {
    std::vector<double> volts;
    for (std::size_t i = 0; i < pins.inputs.size(); ++i) volts.push_back(code >> i & 1 ? 5.0 : 0.0);
    const std::vector<double> out = part.Evaluate(volts, true);
    std::string row;
    for (std::size_t i = pins.inputs.size(); i-- > 0;) row += "  " + std::to_string(code >> i & 1) + " ";
    row += "|";
    for (std::size_t j = out.size(); j-- > 0;) row += "    " + std::string(out[j] == 5.0 ? "1" : out[j] == 0.0 ? "0" : "?");
    std::printf("%s\n", row.c_str());
  }
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  const std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

int Demo(const std::string& folder) {
  host::PluginLibrary adder;
  if (std::string error = adder.Load(folder + "\\Quenvik.dll"); !error.empty()) return Fail(error);
  std::printf("== The full adder, as its DLL describes and computes it ==\n\n");
  PrintInfo(adder);
  std::printf("\n");
  PrintTruthTable(adder);
  return 0;
}

int WithLibrary(const char* path, void (*work)(const host::PluginLibrary&)) {
  host::PluginLibrary library;
  if (std::string error = library.Load(path); !error.empty()) return Fail(error);
  work(library);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "info" && argc == 3) return WithLibrary(argv[2], PrintInfo);
  if (command == "truth" && argc == 3) return WithLibrary(argv[2], PrintTruthTable);
  if (command == "demo" && argc <= 3) return Demo(argc == 3 ? argv[2] : ProgramFolder());
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::fputs(kUsage, stderr);
  return 2;
}
