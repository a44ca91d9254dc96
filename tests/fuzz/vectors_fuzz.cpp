// Any bytes may stand where `test` expects a vector file. Read as each part
// would read them, they give rows that fit the part's pins, at finite
// voltages, or a Failure naming the file, a line of it and a column within
// that line; a repeat's rows come one at a time, so memory does not grow
// with its count.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "columns.h"
#include "failure.h"
#include "plugin_interface.h"
#include "project_format.h"
#include "require.h"
#include "utf16.h"
#include "vectors.h"

namespace {

using fuzz::Require;

const std::string kName = "fuzzed.vectors";

// The parts' pins (inputs, outputs), and the most the interface allows.
constexpr int kPins[][2] = {{4, 7}, {3, 2}, {4, 1}, {host::kMaxPins, host::kMaxPins}};

// Rows worked out per reading: a file may run a million, each of a long
// line, which takes far longer than an input may; the count of them all is
// still checked up front by the reader.
constexpr int kRowsRead = 2000;

void ReadRows(const std::string& file, int inputs, int outputs) {
  host::VectorReader reader(file, kName, inputs, outputs);
  int previousLine = 0;
  host::VectorRow row;
  for (int read = 0; read < kRowsRead && reader.Next(row); ++read) {
    // A saves or delay line is a step without inputs or outputs.
    Require(row.step != host::VectorStep::kRow
                ? !row.expected.empty() && row.inputs.empty() && row.outputs.empty()
                : int(row.inputs.size()) == inputs && int(row.outputs.size()) == outputs);
    Require(row.line >= previousLine && row.settingsLine < row.line);
    Require(row.settingsLine == 0 || !row.settings.empty());
    for (const host::VectorInput& input : row.inputs) Require(std::isfinite(input.volts));
    previousLine = row.line;
  }
}

// "NAME:LINE:COLUMN: reason": LINE is a line of the file and COLUMN at most
// one behind its last character; or a fault of the whole file.
void RequireLocated(const std::string& failure, const std::string& file) {
  if (failure == kName + ": no rows (inputs | expected outputs)") return;
  std::string encoding;
  const std::vector<host::FileLine> lines = host::SplitLines(host::UserFileText(file, encoding), 0);
  std::size_t at = 0, line = 0, column = 0;
  std::string name, lineText, columnText;
  Require(fuzz::ReadUpTo(failure, at, ":", name) && name == kName);
  Require(fuzz::ReadUpTo(failure, at, ":", lineText) && fuzz::ReadNumber(lineText, lines.size(), line));
  Require(fuzz::ReadUpTo(failure, at, ": ", columnText));
  Require(fuzz::ReadNumber(columnText, host::DisplayWidth(lines[line - 1].text) + 1, column));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  for (const auto& pins : kPins) {
    const std::string failure = host::FailureOf([&] { ReadRows(file, pins[0], pins[1]); });
    if (!failure.empty()) RequireLocated(failure, file);
  }
  return 0;
}
