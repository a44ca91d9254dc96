#include "pin_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "columns.h"
#include "shown_text.h"

namespace host {

std::string ShownOutput(double volts) {
  if (volts == 5.0) return "1";
  if (volts == 0.0 && !std::signbit(volts)) return "0";
  char text[32];
  std::snprintf(text, sizeof text, "%gV", volts);
  return text;
}

std::vector<std::string> ShownOutputs(const std::vector<double>& volts) {
  std::vector<std::string> shown;
  for (double v : volts) shown.push_back(ShownOutput(v));
  return shown;
}

PinTable PinTableFor(const PinDescription& pins, const char* firstColumn) {
  PinTable table;
  table.firstColumn = firstColumn;
  table.inputNames = ShownPluginTexts(pins.inputs);
  table.outputNames = ShownPluginTexts(pins.outputs);
  return table;
}

namespace {

std::string PinHeading(char side, std::size_t index) { return side + std::to_string(index); }

}  // namespace

// Inputs on the left, outputs on the right, side by side.
std::string PinTable::Legend() const {
  std::size_t width = 0;
  for (std::size_t i = 0; i < inputNames.size(); ++i)
    width = std::max(width, DisplayWidth(PinHeading('i', i) + "  " + inputNames[i]));
  std::string legend;
  for (std::size_t k = 0; k < std::max(inputNames.size(), outputNames.size()); ++k) {
    std::string line = "  ";
    line += PadRight(k < inputNames.size() ? PinHeading('i', k) + "  " + inputNames[k] : "", width);
    if (k < outputNames.size()) line += "    " + PinHeading('o', k) + "  " + outputNames[k];
    while (!line.empty() && line.back() == ' ') line.pop_back();
    legend += line + "\n";
  }
  return legend;
}

std::string PinTable::Render() const {
  const bool labelled = !firstColumn.empty();
  std::vector<std::string> headings;
  if (labelled) headings.push_back(firstColumn);
  for (std::size_t i = 0; i < inputNames.size(); ++i) headings.push_back(PinHeading('i', i));
  for (std::size_t j = 0; j < outputNames.size(); ++j) headings.push_back(PinHeading('o', j));
  auto cells = [&](const Row& row) {
    std::vector<std::string> all;
    if (labelled) all.push_back(row.label);
    all.insert(all.end(), row.inputs.begin(), row.inputs.end());
    all.insert(all.end(), row.outputs.begin(), row.outputs.end());
    return all;
  };
  std::vector<std::size_t> widths;
  for (const std::string& heading : headings) widths.push_back(DisplayWidth(heading));
  for (const Row& row : rows) {
    const std::vector<std::string> all = cells(row);
    for (std::size_t c = 0; c < all.size() && c < widths.size(); ++c)
      widths[c] = std::max(widths[c], DisplayWidth(all[c]));
  }
  const std::size_t firstOutput = (labelled ? 1 : 0) + inputNames.size();
  auto line = [&](const std::vector<std::string>& all) {
    std::string text;
    for (std::size_t c = 0; c < all.size() && c < widths.size(); ++c) {
      if (c == firstOutput) text += " |";
      if (c > 0) text += " ";
      text += labelled && c == 0 ? PadRight(all[c], widths[c]) : PadLeft(all[c], widths[c]);
    }
    return text + "\n";
  };
  std::string table = line(headings);
  for (const Row& row : rows) table += line(cells(row));
  return table;
}

}  // namespace host
