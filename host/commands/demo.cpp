// `demo`: the three plug-ins beside hostsim at work, each through its DLL.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "command.h"
#include "input_codes.h"
#include "options.h"
#include "paths.h"
#include "placed_part.h"
#include "plugin_interface.h"
#include "project.h"
#include "settings_text.h"
#include "seven_segment.h"
#include "text.h"

namespace host {
namespace {

void Heading(const std::string& text) { std::printf("\n== %s ==\n\n", text.c_str()); }

void ShowAdder(const std::string& folder) {
  Heading("Quenvik.dll: a one-bit full adder");
  std::fputs(DescribePart(folder + "\\Quenvik.dll", DllShown::kName).c_str(), stdout);
  bool combinational;
  std::printf("\n%s", TruthTableText(folder + "\\Quenvik.dll", DllShown::kName, combinational).c_str());
}

// Each code drawn from the segment outputs the DLL gives for it.
void ShowDecoder(const std::string& folder) {
  Heading("Tamberlo.dll: the seven-segment decoder, codes 0 to 15");
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(folder + "\\Tamberlo.dll");
  PlacedPart part(*library);
  part.Evaluate(CodeVolts(0, part.Inputs(), part.Inputs()), true);
  std::vector<Segments> digits;
  std::string codes;
  for (unsigned code = 0; code < 16; ++code) {
    Segments lit;
    for (double volts : part.Evaluate(CodeVolts(code, part.Inputs(), part.Inputs()), false))
      lit.push_back(volts == 5.0);
    digits.push_back(lit);
    char label[8];
    std::snprintf(label, sizeof label, "%-4u", code);
    codes += label;
  }
  for (const std::string& line : DrawDigits(digits, 1)) std::printf("  %s\n", line.c_str());
  while (codes.back() == ' ') codes.pop_back();
  std::printf("  %s\n", codes.c_str());
}

// One column per evaluation, high or low as the host reads the level.
std::string Trace(double volts) { return volts > 2.5 ? "\u203E" : "_"; }

void ShowShiftRegister(const std::string& folder) {
  Heading("Morrel.dll: the shift register at 8 bits");
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(folder + "\\Morrel.dll");
  const PinDescription pins = DescribePins(*library);
  PlacedPart part(*library);
  const std::string block = std::string("8\r\n1\r\n") + kEndMarker;
  part.LoadSettings(block);
  std::printf("settings given by ReadFromFile from the block \"8\\r\\n1\\r\\n\" and the end marker;\n"
              "the part now saves %s (width, delay flag)\n\n",
              SettingsHeld(part).c_str());
  const std::string pattern = "1011001000000000";  // shifted in at the rising edges
  std::vector<std::string> lines(pins.inputs.size() + 1);
  std::string cameOut;
  auto step = [&](double clock, char bit, bool initial) {
    const std::vector<double> in = {0.0, clock, 5.0, bit == '1' ? 5.0 : 0.0};
    const std::vector<double> out = part.Evaluate(in, initial);
    for (std::size_t i = 0; i < in.size(); ++i) lines[i] += Trace(in[i]);
    lines.back() += Trace(out[0]);
    if (clock > 2.5) cameOut += out[0] == 5.0 ? '1' : '0';
  };
  step(0.0, pattern[0], true);
  for (char bit : pattern) {
    step(5.0, bit, false);
    step(0.0, bit, false);
  }
  std::vector<std::string> names = ShownPluginTexts(pins.inputs);
  names.push_back(ShownPluginTexts(pins.outputs).at(0));
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::string name = names[k] + std::string(19 - std::min<std::size_t>(DisplayWidth(names[k]), 18), ' ');
    std::printf("  %s%s\n", name.c_str(), lines[k].c_str());
  }
  std::printf("\n  in at the rising edges:  %s\n  out after each edge:     %s\n", pattern.c_str(), cameOut.c_str());
  std::printf("  each bit is at the output 7 edges after the edge that took it in\n");
}

void ShowProject(const std::string& folder) {
  Heading("A project with one part of each, saved and loaded back");
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::string path = Utf8FromWide(temp) + "demo.hsp";
  const std::vector<PartRequest> parts = {{"Quenvik.dll", ""}, {"Tamberlo.dll", "1"}, {"Morrel.dll", "8,1"}};
  SaveProject(path, parts, folder, folder);
  std::printf("hostsim project save demo.hsp Quenvik.dll Tamberlo.dll=1 Morrel.dll=8,1\n");
  std::printf("%s\n", ProjectFileText(path).c_str());
  std::printf("hostsim project load demo.hsp\n%s", LoadedProjectText(path, folder).c_str());
  DeleteFileW(SystemPath(path).c_str());
}

// The folder must hold the three plug-ins; said before the demo begins.
void CheckDemoFolder(const std::string& folder) {
  if (!Exists(folder)) throw Failure(folder + ": no such folder");
  if (!IsFolder(folder)) throw Failure(folder + " is a file, not a folder");
  for (const char* dll : {"Quenvik.dll", "Tamberlo.dll", "Morrel.dll"})
    if (!Exists(folder + "\\" + dll))
      throw Failure(folder + " holds no " + dll + "; the demo needs Quenvik.dll, Tamberlo.dll and Morrel.dll there");
}

int Demo(Arguments arguments) {
  const std::vector<std::string> given = ReadCommandLine(kDemoCommand, arguments).operands;
  const std::string folder = given.empty() ? ProgramFolder() : given[0];
  CheckDemoFolder(folder);
  // The folder named once here; the sections name the DLLs in it.
  std::printf("hostsim demo: the plug-ins in %s%s, driven through their exports\n", FullPath(folder).c_str(),
              given.empty() ? " (beside hostsim)" : "");
  ShowAdder(folder);
  ShowDecoder(folder);
  ShowShiftRegister(folder);
  ShowProject(folder);
  return 0;
}

}  // namespace

const Command kDemoCommand = {
    "demo", {{"demo [FOLDER]", "the three plug-ins (default: beside hostsim) at work"}}, "", Demo};

}  // namespace host
