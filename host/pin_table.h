// The tables `run` and `truth` print: pins numbered i0.. and o0.. in pin
// order, their names in a legend above, one row per evaluation.
#pragma once

#include <string>
#include <vector>

namespace host {

// An output as the host reads it: 1 and 0 for exactly 5.0 and 0.0, any
// other value as a voltage.
std::string ShownOutput(double volts);

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

// Columns of a terminal that a UTF-8 text takes (one per character).
std::size_t DisplayWidth(const std::string& utf8);

// `text` filled with blanks to `width` columns, on the left or the right.
std::string PadLeft(const std::string& text, std::size_t width);
std::string PadRight(const std::string& text, std::size_t width);

}  // namespace host
