// `test`: a part against a table of test vectors, rows of inputs and the
// outputs they must give (vectors.h has the format): failing rows are
// printed, the last line counts rows passed and failed, and --junit writes
// a report for CI.
#include <cmath>
#include <cstdio>

#include "command.h"
#include "host_file.h"
#include "junit.h"
#include "options.h"
#include "paths.h"
#include "pin_table.h"
#include "placed_part.h"
#include "settings_text.h"
#include "text.h"
#include "vectors.h"

namespace host {
namespace {

std::string RowName(const VectorRow& row) {
  return "line " + std::to_string(row.line) + (row.counter >= 0 ? " (n=" + std::to_string(row.counter) + ")" : "");
}

// The row's inputs in volts, with its clock pulses at `clock`.
std::vector<double> Volts(const VectorRow& row, double clock) {
  std::vector<double> volts;
  for (const VectorInput& input : row.inputs) volts.push_back(input.clock ? clock : input.volts);
  return volts;
}

bool HasPulse(const VectorRow& row) {
  for (const VectorInput& input : row.inputs)
    if (input.clock) return true;
  return false;
}

// The outputs after the row: one evaluation, or two for a pulse.
std::vector<double> Evaluate(PlacedPart& part, const VectorRow& row, bool first) {
  if (row.giveSettings) part.LoadSettings(SettingsBlock(row.settings));
  if (!HasPulse(row)) return part.Evaluate(Volts(row, 0), first);
  part.Evaluate(Volts(row, 0.0), first);
  return part.Evaluate(Volts(row, 5.0), false);
}

// Empty where the outputs are as expected: an X takes either level, but
// only a level.
std::string Mismatch(const VectorRow& row, const std::vector<double>& got) {
  bool differs = false;
  std::string expected, seen;
  for (std::size_t j = 0; j < got.size(); ++j) {
    const Expected want = row.outputs[j];
    const bool level = got[j] == 5.0 || (got[j] == 0.0 && !std::signbit(got[j]));
    differs =
        differs || !level || (want == Expected::kHigh && got[j] != 5.0) || (want == Expected::kLow && got[j] != 0.0);
    expected += std::string(j ? " " : "") + (want == Expected::kAny ? "X" : want == Expected::kHigh ? "1" : "0");
    seen += (j ? " " : "") + ShownOutput(got[j]);
  }
  if (!differs) return {};
  std::string inputs;
  for (const VectorInput& input : row.inputs) inputs += (inputs.empty() ? "" : " ") + input.written;
  return "inputs " + inputs + ": expected " + expected + ", got " + seen;
}

// Empty where the row passes; a call that changes the floating-point
// state fails the row, and the run goes on from the host's state.
std::string RowFailure(PlacedPart& part, const VectorRow& row, bool first) {
  try {
    return Mismatch(row, Evaluate(part, row, first));
  } catch (const FloatingStateChanged& change) {
    return change.what();
  }
}

int Test(Arguments arguments) {
  const CommandLine line = ReadCommandLine(kTestCommand, arguments);
  const std::string &dll = line.operands[0], &vectorsPath = line.operands[1];
  if (line.Has("--junit")) CheckWritable(line.Option("--junit"));
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(dll);
  const PinDescription pins = DescribePins(*library);
  const std::vector<VectorRow> rows =
      ParseVectors(ReadInput(vectorsPath), vectorsPath, int(pins.inputs.size()), int(pins.outputs.size()));
  PlacedPart part(*library);
  std::printf("%s (%s): %s of %s\n", ShownPluginText(library->DisplayName()).c_str(), FileName(dll).c_str(),
              Counted(rows.size(), "row").c_str(), FileName(vectorsPath).c_str());
  JUnitSuite suite{FileName(dll) + " " + FileName(vectorsPath), {}};
  std::size_t failed = 0;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const std::string mismatch = RowFailure(part, rows[k], k == 0);
    suite.cases.push_back({RowName(rows[k]), {}});
    if (mismatch.empty()) continue;
    ++failed;
    suite.cases.back().failures.push_back(mismatch);
    std::printf("FAILED %s, %s\n", RowName(rows[k]).c_str(), mismatch.c_str());
  }
  if (line.Has("--junit")) WriteWholeFile(line.Option("--junit"), JUnitXml("hostsim test", {suite}));
  std::printf("%zu passed, %zu failed\n", rows.size() - failed, failed);
  return failed ? 1 : 0;
}

}  // namespace

const Command kTestCommand = {
    "test",
    {{"test DLL VECTORS [--junit FILE]", "a part against test vectors: rows of inputs and the\n"
                                         "outputs they must give; failing rows are printed,\n"
                                         "exit status 1 on any; --junit writes a JUnit report"}},
    "Test vectors: one row a line, the inputs in pin order, a |, the expected\n"
    "outputs. An input is 0, 1, a voltage such as 2.6V, or C, a clock pulse (0,\n"
    "then 1; the outputs are compared after the 1). An output is 0, 1 or X (either\n"
    "level). bits(W, E) is W columns, bit 0 of E first. \"repeat N: ROW\" repeats a\n"
    "row, \"repeat N n: ROW\" counts n from 0 to N-1 for E. \"settings V,V...\" gives\n"
    "settings before the next row. The first row is the initial evaluation (with\n"
    "a C: the initial one at 0, then one at 1). For the full adder:\n"
    "    repeat 8 n: bits(3, n) | bits(1, n ^ n >> 1 ^ n >> 2) X\n",
    Test};

}  // namespace host
