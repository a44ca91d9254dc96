// `project`: saving and loading a project of several parts, the host's
// lines and the plug-ins' blocks on one file handle.
#include <cstdio>
#include <set>

#include "command.h"
#include "listed_parts.h"
#include "options.h"
#include "paths.h"
#include "project.h"
#include "settings_text.h"
#include "text.h"

namespace host {
namespace {

// One of each part the build listed beside hostsim, each as newly placed.
std::vector<PartRequest> DefaultParts() {
  std::vector<PartRequest> parts;
  for (const std::string& dll : ListedParts(ProgramFolder())) parts.push_back({dll, ""});
  return parts;
}

// Where the parts' DLLs were loaded from: their one folder, or each
// part's file.
std::string LoadedFrom(const std::vector<std::string>& files) {
  std::set<std::string> folders;
  for (const std::string& file : files) folders.insert(FolderOf(file));
  if (folders.size() == 1) return "DLLs loaded from " + *folders.begin() + "\n";
  std::string text;
  for (std::size_t k = 0; k < files.size(); ++k)
    text += "part " + std::to_string(k + 1) + "'s DLL loaded from " + files[k] + "\n";
  return text;
}

// A column of the table: at least one blank behind the text.
std::string Column(const std::string& text, std::size_t width) { return PadRight(text, width - 1) + " "; }

std::string Save(const std::string& path, const Arguments& parts) {
  std::vector<PartRequest> requests;
  for (const std::string& part : parts) requests.push_back(ParsePartRequest(part));
  if (requests.empty()) requests = DefaultParts();
  const std::vector<SavedPart> saved = SaveProject(path, requests, ".", ProgramFolder());
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

// Whether each part writes back what it read: a value it did not take
// shows here, as does a block in another spelling than the plug-in's own.
std::string WrittenBack(const LoadedProject& project) {
  std::string text;
  for (const LoadedPart& loaded : project.parts) {
    if (loaded.writtenBack == loaded.block) continue;
    const std::string read = SettingsOfBlock(loaded.block), held = SettingsOfBlock(loaded.writtenBack);
    const std::string missed = SettingsNotTaken(read, held);
    text += "part " + std::to_string(loaded.number) +
            (missed.empty() ? " writes back " + held + ", its block in its own spelling\n"
                            : " did not take " + missed + " of its block: it holds " + held + "\n");
  }
  return text.empty() ? "each part writes back the very block it read\n" : text;
}

}  // namespace

std::string LoadedProjectText(const std::string& path, const std::string& pluginFolder) {
  LoadedProject project;
  LoadProject(path, pluginFolder, project);
  if (project.parts.empty()) return FileName(path) + ": no parts\n";
  std::string text = FileName(path) + ": " + Counted(project.parts.size(), "part") +
                     "; each block ended right before the host's next line\n";
  if (project.crLfRestored)
    text += "lines ending in " + project.lineEndings +
            ": the plug-ins read their blocks from a scratch copy with CR LF restored\n";
  text += "  part  DLL           name             block    delay  settings\n";
  std::vector<std::string> files;
  for (const LoadedPart& loaded : project.parts) {
    text += "  " + Column(std::to_string(loaded.number), 6) + Column(loaded.dll, 14) + Column(loaded.displayName, 17) +
            Column(std::to_string(loaded.blockStart) + "-" + std::to_string(loaded.blockEnd - 1), 9) +
            Column(std::to_string(loaded.delayFlag), 7) + SettingsOfBlock(loaded.writtenBack) + "\n";
    files.push_back(loaded.file);
  }
  return text + LoadedFrom(files) + WrittenBack(project);
}

std::string ProjectFileText(const std::string& path) {
  std::string fault;
  const std::string description = DescribeProject(path, fault);
  if (!fault.empty()) throw Failure(fault);
  return description;
}

namespace {

// A damaged file is shown up to its fault, which then ends the command.
int ShowProject(const std::string& path) {
  std::string fault;
  std::fputs(DescribeProject(path, fault).c_str(), stdout);
  if (!fault.empty()) throw Failure(fault);
  return 0;
}

int Project(Arguments arguments) {
  const std::vector<std::string> operands = ReadCommandLine(kProjectCommand, arguments).operands;
  const std::string &action = operands[0], &path = operands[1];
  std::string text;
  if (action == "show") return ShowProject(path);
  if (action == "save")
    text = Save(path, Arguments(operands.begin() + 2, operands.end()));
  else
    text = LoadedProjectText(path, ProgramFolder());
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
