// Value Change Dumps (IEEE 1364) of a run, for waveform viewers: scope
// `module <display name>` with the sub-scopes `in` and `out`, one 1-bit wire
// per pin, one time unit per evaluation (0 is the initial evaluation).
#pragma once

#include <string>
#include <vector>

namespace host {

// A pin or part name (Windows-1252) as a VCD reference that every viewer
// takes as a plain identifier (letters, digits and _, not a digit first):
// the German letters are spelt out (Ä Ae, Ö Oe, Ü Ue, ä ae, ö oe, ü ue,
// ß ss), a run of other bytes (blanks, ".", "-") becomes one "_", none is
// left at the end, and a name that starts with a digit gets a "_" before
// it ("1. von 7 Segmenten" is _1_von_7_Segmenten).
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
