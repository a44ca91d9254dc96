// The tables `run` and `truth` print: pins numbered i0.. and o0.. in pin
// order, their names in a legend above, one row per evaluation.
#pragma once

#include <string>
#include <vector>

#include "part_instance.h"

namespace host {

// An output as the host reads it: 1 and 0 for exactly 5.0 and 0.0, any
// other value as a voltage.
std::string ShownOutput(double volts);
std::vector<std::string> ShownOutputs(const std::vector<double>& volts);

struct PinTable {
  struct Row {
    std::string label;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
  };
  std::string firstColumn;              // heading of the row labels
  std::vector<std::string> inputNames;  // UTF-8
  std::vector<std::string> outputNames;
  std::vector<Row> rows;

  std::string Legend() const;
  std::string Render() const;
};

// A table with the part's pin names in its legend, as the plug-in gives
// them; `firstColumn` heads the row labels (none where empty).
PinTable PinTableFor(const PinDescription& pins, const char* firstColumn);

}  // namespace host
