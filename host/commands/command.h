// The commands of hostsim. Each source holds one: its name, the forms of
// its command line with what each does (hostsim --help and the usage line
// of its errors are made from them), and its work. A new command is a new
// source here and its name in HOSTSIM_COMMANDS below.
#pragma once

#include <string>
#include <vector>

#include "failure.h"
#include "fault_guard.h"

namespace host {

using Arguments = std::vector<std::string>;

struct CommandForm {
  const char* synopsis;     // "run DLL STIMULUS [--settings V,V...] [--vcd FILE]"
  const char* description;  // its lines in --help, separated by \n
};

struct Command {
  const char* name;
  std::vector<CommandForm> forms;
  const char* notes;  // paragraphs for the end of --help, or ""
  // The exit status; bad input throws Failure. Every call into a plug-in
  // runs under `guard`.
  int (*run)(Arguments arguments, FaultGuard& guard);
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

}  // namespace host
