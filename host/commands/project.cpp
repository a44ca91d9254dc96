// `project`: saving and loading a project of several parts, the host's
// lines and the plug-ins' blocks on one file handle.
#include <cstdio>

#include "command.h"
#include "listed_parts.h"
#include "options.h"
#include "paths.h"
#include "project.h"
#include "project_text.h"
#include "settings_text.h"

namespace host {
namespace {

// One of each part the build listed beside hostsim, each as newly placed.
std::vector<PartRequest> DefaultParts() {
  std::vector<PartRequest> parts;
  for (const std::string& dll : ListedParts(ProgramFolder())) parts.push_back({dll, ""});
  return parts;
}

std::string Save(const std::string& path, const Arguments& parts, FaultGuard& guard) {
  std::vector<PartRequest> requests;
  for (const std::string& part : parts) requests.push_back(ParsePartRequest(part));
  if (requests.empty()) requests = DefaultParts();
  const std::vector<SavedPart> saved = SaveProject(path, requests, ".", ProgramFolder(), guard);
  std::string text = "saved " + FileName(path) + ":", notes;
  std::vector<std::string> files;
  for (std::size_t k = 0; k < requests.size(); ++k) {
    files.push_back(saved[k].file);
    const std::string held = SettingsOfBlock(saved[k].block);
    text += " " + requests[k].dll + "=" + held;
    if (const std::string missed = SettingsNotTaken(requests[k].settings, held); !missed.empty())
      notes += "part " + std::to_string(k + 1) + " (" + requests[k].dll + ") did not take " + missed + "\n";
  }
  return text + "\n" + LoadedFrom(files) + notes;
}

// A damaged file is shown up to its fault, which then ends the command.
int ShowProject(const std::string& path) {
  std::string fault;
  std::fputs(DescribeProject(path, fault).c_str(), stdout);
  if (!fault.empty()) throw Failure(fault);
  return 0;
}

int Project(Arguments arguments, FaultGuard& guard) {
  const std::vector<std::string> operands = ReadCommandLine(kProjectCommand, arguments).operands;
  const std::string &action = operands[0], &path = operands[1];
  std::string text;
  if (action == "show") return ShowProject(path);
  if (action == "save")
    text = Save(path, Arguments(operands.begin() + 2, operands.end()), guard);
  else
    text = LoadedProjectText(path, ProgramFolder(), guard);
  std::fputs(text.c_str(), stdout);
  return 0;
}

}  // namespace

const Command kProjectCommand = {
    "project",
    {{"project save FILE [DLL[=V,V...]...]", "a project of one part per DLL (default: one of each\n"
                                             "part in parts.txt beside hostsim); a part first reads\n"
                                             "the values after = as its settings, one value per line"},
     {"project load FILE", "places the parts, lets each read its block, shows\n"
                           "them; lines ending in LF or CR are read too"},
     {"project show FILE", "the file's lines, numbered, the host's and the\n"
                           "plug-ins', and how they end"}},
    "",
    Project};

}  // namespace host
