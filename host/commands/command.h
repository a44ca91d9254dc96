// The commands of hostsim. Each source holds one: its name, the forms of
// its command line with what each does (hostsim --help and the usage line
// of its errors are made from them), and its work. A new command is a new
// source here and its name in HOSTSIM_COMMANDS below.
#pragma once

#include <string>
#include <vector>

#include "failure.h"

namespace host {

using Arguments = std::vector<std::string>;

struct CommandForm {
  const char* synopsis;     // "run DLL STIMULUS [--settings V,V...] [--vcd FILE]"
  const char* description;  // its lines in --help, separated by \n
};

struct Command {
  const char* name;
  std::vector<CommandForm> forms;
  const char* notes;                // paragraphs for the end of --help, or ""
  int (*run)(Arguments arguments);  // the exit status; bad input throws Failure
};

// Every command, in the order --help lists them; <name>.cpp (in lower
// case) defines `const Command k<Name>Command`.
#define HOSTSIM_COMMANDS(X) \
  X(Info) X(Run) X(Truth) X(Project) X(Dialog) X(Check) X(Test) X(Fuzz) X(Bench) X(Replay) X(Show) X(Demo)

#define HOSTSIM_COMMAND_DECLARATION(name) extern const Command k##name##Command;
HOSTSIM_COMMANDS(HOSTSIM_COMMAND_DECLARATION)
#undef HOSTSIM_COMMAND_DECLARATION

// "usage: hostsim project save FILE [DLL[=V,V...]...] | load FILE | show FILE"
std::string UsageLine(const Command& command);

// How a heading names the DLL it is about: a command by the full path of
// the file it loaded, the demo, whose first line names the folder, by the
// file's name.
enum class DllShown { kFullPath, kName };
inline std::string ShownDll(const std::string& fullPath, DllShown shown) {
  return shown == DllShown::kFullPath ? fullPath : fullPath.substr(fullPath.find_last_of('\\') + 1);
}

// Pieces the demo shows as the commands do.
std::string DescribePart(const std::string& path, DllShown shown);  // what `info` prints
std::string TruthTableText(const std::string& path, DllShown shown, bool& combinational);
std::string LoadedProjectText(const std::string& path, const std::string& pluginFolder);
std::string ProjectFileText(const std::string& path);

}  // namespace host
