// The subcommands of hostsim. Each takes the arguments after its name and
// gives the exit status; bad input throws Failure.
#pragma once

#include <string>
#include <vector>

namespace host {

using Arguments = std::vector<std::string>;

int InfoCommand(Arguments arguments);
int RunCommand(Arguments arguments);
int TruthCommand(Arguments arguments);
int ProjectCommand(Arguments arguments);
int DialogCommand(Arguments arguments);
int CheckCommand(Arguments arguments);
int BenchCommand(Arguments arguments);
int DemoCommand(Arguments arguments);

// Pieces the demo shows as the subcommands do.
std::string DescribePart(const std::string& path);  // what `info` prints
std::string TruthTableText(const std::string& path, bool& combinational);
std::string LoadedProjectText(const std::string& path, const std::string& pluginFolder);
std::string ProjectFileText(const std::string& path);

}  // namespace host
