#include "project_text.h"

#include <set>

#include "columns.h"
#include "failure.h"
#include "paths.h"
#include "project.h"
#include "settings_text.h"
#include "words.h"

namespace host {
namespace {

// A column of the table: at least one blank behind the text.
std::string Column(const std::string& text, std::size_t width) { return PadRight(text, width - 1) + " "; }

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

std::string LoadedFrom(const std::vector<std::string>& files) {
  std::set<std::string> folders;
  for (const std::string& file : files) folders.insert(FolderOf(file));
  if (folders.size() == 1) return "DLLs loaded from " + *folders.begin() + "\n";
  std::string text;
  for (std::size_t k = 0; k < files.size(); ++k)
    text += "part " + std::to_string(k + 1) + "'s DLL loaded from " + files[k] + "\n";
  return text;
}

std::string LoadedProjectText(const std::string& path, const std::string& pluginFolder, FaultGuard& guard) {
  LoadedProject project;
  LoadProject(path, pluginFolder, guard, project);
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

}  // namespace host
