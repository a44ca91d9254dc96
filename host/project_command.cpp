// `project`: saving and loading a project of several parts, the host's
// lines and the plug-ins' blocks on one file handle.
#include <cstdio>

#include "cli.h"
#include "commands.h"
#include "pin_table.h"
#include "project.h"

namespace host {
namespace {

// One of each plug-in beside hostsim, the register set to 8 bits.
std::vector<PartRequest> DefaultParts() {
  return {{"Quenvik.dll", ""}, {"Tamberlo.dll", ""}, {"Morrel.dll", "8,1"}};
}

std::string Padded(const std::string& text, std::size_t width) {
  const std::size_t shown = DisplayWidth(text);
  return shown >= width ? text + " " : text + std::string(width - shown, ' ');
}

std::string Save(const std::string& path, const Arguments& parts) {
  std::vector<PartRequest> requests;
  for (const std::string& part : parts) requests.push_back(ParsePartRequest(part));
  if (requests.empty()) requests = DefaultParts();
  if (std::string error = SaveProject(path, requests, ProgramFolder()); !error.empty()) throw Failure(error);
  std::string text = "saved " + FileName(path) + ":";
  for (const PartRequest& request : requests)
    text += " " + request.dll + (request.settings.empty() ? "" : "=" + request.settings);
  return text + "\n";
}

}  // namespace

std::string LoadedProjectText(const std::string& path, const std::string& pluginFolder) {
  LoadedProject project;
  if (std::string error = LoadProject(path, pluginFolder, project); !error.empty()) throw Failure(error);
  std::string text = FileName(path) + ": " + std::to_string(project.parts.size()) +
                     " parts; each block ended right before the host's next line\n";
  text += "  part  DLL           name             block    delay  settings\n";
  for (LoadedPart& loaded : project.parts) {
    text += "  " + Padded(std::to_string(loaded.number), 6) + Padded(loaded.dll, 14) +
            Padded(Shown(loaded.library->GetDLLName()), 17) +
            Padded(std::to_string(loaded.blockStart) + "-" + std::to_string(loaded.blockEnd - 1), 9) +
            Padded(std::to_string(loaded.library->HasDelayDLL(loaded.part->Record())), 7) +
            SettingsOfBlock(loaded.part->SavedBlock()) + "\n";
  }
  return text;
}

std::string ProjectFileText(const std::string& path) {
  std::string description;
  if (std::string error = DescribeProject(path, description); !error.empty()) throw Failure(error);
  return description;
}

int ProjectCommand(Arguments arguments) {
  const char* usage = "usage: hostsim project save FILE [DLL[=V,V...]...] | load FILE | show FILE";
  if (arguments.size() < 2) throw Failure(usage);
  const std::string action = arguments[0], path = arguments[1];
  std::string text;
  if (action == "save")
    text = Save(path, Arguments(arguments.begin() + 2, arguments.end()));
  else if (action == "load" && arguments.size() == 2)
    text = LoadedProjectText(path, ProgramFolder());
  else if (action == "show" && arguments.size() == 2)
    text = ProjectFileText(path);
  else
    throw Failure(usage);
  std::fputs(text.c_str(), stdout);
  return 0;
}

}  // namespace host
