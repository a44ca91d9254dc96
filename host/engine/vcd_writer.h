// Value Change Dumps of a run (the format: docs/formats.md, "Value Change
// Dumps").
#pragma once

#include <string>
#include <vector>

namespace host {

// A pin or part name (Windows-1252) as a VCD reference that every viewer
// takes as a plain identifier, spelt as the format says.
std::string VcdReference(const std::string& windows1252);

struct VcdRun {
  std::string partName;                 // Windows-1252, as GetDLLName gives it
  std::vector<std::string> inputNames;  // Windows-1252
  std::vector<std::string> outputNames;
  std::vector<std::vector<double>> inputs;  // volts, one entry per evaluation
  std::vector<std::vector<double>> outputs;
};

std::string WriteVcd(const VcdRun& run);

}  // namespace host
