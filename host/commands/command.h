// The commands of hostsim. Each source holds one: its name, the forms of
// its command line with what each does (hostsim --help and the usage line
// of its errors are made from them), and its work. main.cpp lists them.
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

extern const Command kInfoCommand, kRunCommand, kTruthCommand, kProjectCommand, kDialogCommand, kCheckCommand,
    kBenchCommand, kDemoCommand;

// "usage: hostsim project save FILE [DLL[=V,V...]...] | load FILE | show FILE"
std::string UsageLine(const Command& command);

// Pieces the demo shows as the commands do.
std::string DescribePart(const std::string& path);  // what `info` prints
std::string TruthTableText(const std::string& path, bool& combinational);
std::string LoadedProjectText(const std::string& path, const std::string& pluginFolder);
std::string ProjectFileText(const std::string& path);

}  // namespace host
