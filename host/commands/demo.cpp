// `demo`: the plug-ins the build put beside hostsim at work, each through
// its DLL, in the order of their list.
#include <windows.h>

#include <cstdio>

#include "columns.h"
#include "command.h"
#include "listed_parts.h"
#include "options.h"
#include "part_facts.h"
#include "part_instance.h"
#include "paths.h"
#include "plugin_interface.h"
#include "project.h"
#include "project_text.h"
#include "settings_text.h"
#include "shown_text.h"
#include "stimulus.h"
#include "utf16.h"
#include "words.h"

namespace host {
namespace {

void Heading(const std::string& text) { std::printf("\n== %s ==\n\n", text.c_str()); }

// One column per evaluation, high or low as the host reads the level.
std::string Trace(double volts) { return volts > 2.5 ? "\u203E" : "_"; }

// Where the build puts a part's demo run: its folder's demo.stim.
std::string DemoStimulus(const std::string& folder, const std::string& dll) {
  return folder + "\\demo\\" + dll.substr(0, dll.size() - 4) + ".stim";
}

// Each pin's level at every step of the stimulus, the part as newly placed.
void ShowRun(const std::string& dll, const std::string& stimulus, FaultGuard& guard) {
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(dll, guard);
  const PinDescription pins = DescribePins(*library);
  PartInstance instance(*library);
  const std::string name = "demo\\" + FileName(stimulus);
  const std::vector<StimulusStep> steps = ParseStimulus(ReadInput(stimulus), name, nullptr);
  CheckStimulusWidth(steps, name, instance.Inputs());
  std::vector<std::string> names = ShownPluginTexts(pins.inputs), outputs = ShownPluginTexts(pins.outputs);
  names.insert(names.end(), outputs.begin(), outputs.end());
  std::vector<std::string> lines(names.size());
  for (std::size_t k = 0; k < steps.size(); ++k) {
    const std::vector<double> out = instance.Evaluate(steps[k].volts, k == 0);
    for (std::size_t i = 0; i < steps[k].volts.size(); ++i) lines[i] += Trace(steps[k].volts[i]);
    for (std::size_t o = 0; o < out.size(); ++o) lines[steps[k].volts.size() + o] += Trace(out[o]);
  }
  std::printf("\n%s, %s of %s, settings %s (a new part's); one column a step, the first the start:\n\n",
              FileName(dll).c_str(), Counted(steps.size(), "step").c_str(), name.c_str(),
              SettingsHeld(instance).c_str());
  std::size_t width = 0;
  for (const std::string& pin : names) width = std::max(width, DisplayWidth(pin));
  for (std::size_t k = 0; k < lines.size(); ++k)
    std::printf("  %s%s\n", PadRight(names[k], width + 2).c_str(), lines[k].c_str());
}

// What the part is, its truth table where it has one, and its demo run
// where the build put one beside it.
void ShowPart(const std::string& folder, const std::string& dll, FaultGuard& guard) {
  const std::string path = folder + "\\" + dll;
  Heading(dll);
  std::fputs(PartFactsText(ReadPartFacts(path, guard), DllShown::kName).c_str(), stdout);
  const std::string truth = TruthFactsText(ReadTruthFacts(path, guard), DllShown::kName);
  std::printf("\n%s", truth.c_str());
  if (Exists(DemoStimulus(folder, dll))) ShowRun(path, DemoStimulus(folder, dll), guard);
}

void ShowProject(const std::string& folder, const std::vector<std::string>& dlls, FaultGuard& guard) {
  Heading("A project with one part of each, saved and loaded back");
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::string path = Utf8FromWide(temp) + "demo.hsp";
  std::vector<PartRequest> parts;
  std::string named;
  for (const std::string& dll : dlls) {
    parts.push_back({dll, ""});
    named += " " + dll;
  }
  SaveProject(path, parts, folder, folder, guard);
  std::printf("hostsim project save demo.hsp%s\n", named.c_str());
  std::printf("%s\n", ProjectFileText(path).c_str());
  std::printf("hostsim project load demo.hsp\n%s", LoadedProjectText(path, folder, guard).c_str());
  DeleteFileW(SystemPath(path).c_str());
}

// The folder must hold its list and every part it lists; said before the
// demo begins.
std::vector<std::string> DemoParts(const std::string& folder) {
  if (!Exists(folder)) throw Failure(folder + ": no such folder");
  if (!IsFolder(folder)) throw Failure(folder + " is a file, not a folder");
  const std::vector<std::string> dlls = ListedParts(folder);
  for (const std::string& dll : dlls)
    if (!Exists(folder + "\\" + dll)) throw Failure(folder + " holds no " + dll + ", which its parts.txt lists");
  return dlls;
}

int Demo(Arguments arguments, FaultGuard& guard) {
  const std::vector<std::string> given = ReadCommandLine(kDemoCommand, arguments).operands;
  const std::string folder = given.empty() ? ProgramFolder() : given[0];
  const std::vector<std::string> dlls = DemoParts(folder);
  // The folder named once here; the sections name the DLLs in it.
  std::printf("hostsim demo: the plug-ins in %s%s, driven through their exports\n", FullPath(folder).c_str(),
              given.empty() ? " (beside hostsim)" : "");
  for (const std::string& dll : dlls) ShowPart(folder, dll, guard);
  ShowProject(folder, dlls, guard);
  return 0;
}

}  // namespace

const Command kDemoCommand = {"demo",
                              {{"demo [FOLDER]", "the plug-ins its parts.txt lists (default: beside\n"
                                                 "hostsim) at work"}},
                              "",
                              Demo};

}  // namespace host
