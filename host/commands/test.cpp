// `test`: a part against a table of test vectors, rows of inputs and the
// outputs they must give (vectors.h has the format): failing rows and
// settings the part did not take are printed, the last line counts the
// cases passed and failed, and --junit writes a report for CI.
#include <cmath>
#include <cstdio>

#include "columns.h"
#include "command.h"
#include "host_file.h"
#include "junit.h"
#include "options.h"
#include "part_instance.h"
#include "paths.h"
#include "pin_table.h"
#include "settings_text.h"
#include "shown_text.h"
#include "vectors.h"
#include "words.h"

namespace host {
namespace {

std::string LineName(int line) { return "line " + std::to_string(line); }

// A row in a repeat by its n too, as each of its rows is a case.
std::string RowName(const VectorRow& row) {
  return LineName(row.line) + (row.n >= 0 ? " (n=" + std::to_string(row.n) + ")" : "");
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

// Empty where the part took every value of the settings given before the
// row, named as `run` names those of --settings.
std::string SettingsMismatch(PartInstance& instance, const VectorRow& row) {
  instance.LoadSettings(SettingsBlock(row.settings));
  const std::string missed = SettingsNotTaken(row.settings, SettingsHeld(instance));
  return missed.empty() ? "" : "settings " + Quoted(row.settings) + ": the part did not take " + missed;
}

// Empty where the part writes exactly the settings of a saves line, or
// reports the delay flag of a delay line; else both, as expected and as
// the part gave them.
std::string CheckMismatch(PartInstance& instance, const VectorRow& check) {
  if (check.step == VectorStep::kDelay) {
    const std::string reported = std::to_string(instance.HasDelay());
    return reported == check.expected ? "" : "delay " + check.expected + ": the part reported " + reported;
  }
  const std::string written = SettingsHeld(instance);
  return written == check.expected ? "" : "saves " + Quoted(check.expected) + ": the part wrote " + Quoted(written);
}

// The outputs after the row: one evaluation, or two for a pulse.
std::vector<double> Evaluate(PartInstance& instance, const VectorRow& row, bool first) {
  if (!HasPulse(row)) return instance.Evaluate(Volts(row, 0), first);
  instance.Evaluate(Volts(row, 0.0), first);
  return instance.Evaluate(Volts(row, 5.0), false);
}

// An input as the file writes it; a long voltage cut as a quote is.
std::string ShownInput(const std::string& written) {
  return DisplayWidth(written) > kQuotedColumns ? Quoted(written) : written;
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
  for (const VectorInput& input : row.inputs) inputs += (inputs.empty() ? "" : " ") + ShownInput(input.written);
  return "inputs " + inputs + ": expected " + expected + ", got " + seen;
}

// Empty where the row passes; a call that changes the floating-point
// state fails the row, and the run goes on from the host's state.
std::string RowFailure(PartInstance& instance, const VectorRow& row, bool first) {
  try {
    return Mismatch(row, Evaluate(instance, row, first));
  } catch (const FloatingStateChanged& change) {
    return change.what();
  }
}

// The cases judged: each failure printed as it comes, and every case kept
// for a JUnit report where one is asked for (only then, so that memory
// does not grow with the rows).
struct Verdicts {
  explicit Verdicts(bool keep) : keepCases(keep) {}

  const bool keepCases;
  std::size_t passed = 0, failed = 0;
  std::vector<JUnitCase> cases;

  void Add(const std::string& name, const std::string& failure) {
    ++(failure.empty() ? passed : failed);
    if (!failure.empty()) std::printf("FAILED %s, %s\n", name.c_str(), failure.c_str());
    if (keepCases) cases.push_back({name, failure.empty() ? std::vector<std::string>{} : std::vector{failure}});
  }
};

// "9 rows, 1 settings line and 2 saves lines of Morrel.vectors, read as
// UTF-16 ...".
std::string Contents(const VectorCount& count, const std::string& file, const std::string& encoding) {
  std::vector<std::string> parts{Counted(std::size_t(count.rows), "row")};
  if (count.settings) parts.push_back(Counted(std::size_t(count.settings), "settings line"));
  if (count.saves) parts.push_back(Counted(std::size_t(count.saves), "saves line"));
  if (count.delays) parts.push_back(Counted(std::size_t(count.delays), "delay line"));
  std::string listed = parts[0];
  for (std::size_t k = 1; k < parts.size(); ++k) listed += (k + 1 == parts.size() ? " and " : ", ") + parts[k];
  return listed + " of " + file + (encoding.empty() ? "" : ", read as " + encoding);
}

int Test(Arguments arguments, FaultGuard& guard) {
  const CommandLine line = ReadCommandLine(kTestCommand, arguments);
  const std::string &dll = line.operands[0], &vectorsPath = line.operands[1];
  const bool wantJunit = line.Has("--junit");
  if (wantJunit) CheckWritable(line.Option("--junit"));
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(dll, guard);
  const PinDescription pins = DescribePins(*library);
  const int inputs = int(pins.inputs.size()), outputs = int(pins.outputs.size());
  // A byte beyond the limit, for the reader to refuse the file by.
  const std::string bytes = ReadInput(vectorsPath, kLargestVectorFile + 1);
  // Every line is read before the first row runs: bad input ends the
  // command before any verdict.
  const VectorCount count = CountVectors(bytes, vectorsPath, inputs, outputs);
  VectorReader reader(bytes, vectorsPath, inputs, outputs);
  PartInstance instance(*library);
  std::printf("%s (%s): %s\n", ShownPluginText(library->DisplayName()).c_str(), FileName(dll).c_str(),
              Contents(count, FileName(vectorsPath), reader.Encoding()).c_str());
  Verdicts verdicts(wantJunit);
  bool first = true;
  for (VectorRow row; reader.Next(row);) {
    if (row.settingsLine) verdicts.Add(LineName(row.settingsLine), SettingsMismatch(instance, row));
    if (row.step != VectorStep::kRow) {
      verdicts.Add(LineName(row.line), CheckMismatch(instance, row));
      continue;
    }
    verdicts.Add(RowName(row), RowFailure(instance, row, first || row.start));
    first = false;
  }
  if (wantJunit)
    WriteWholeFile(line.Option("--junit"),
                   JUnitXml("hostsim test", {{FileName(dll) + " " + FileName(vectorsPath), verdicts.cases}}));
  std::printf("%zu passed, %zu failed\n", verdicts.passed, verdicts.failed);
  return verdicts.failed ? 1 : 0;
}

}  // namespace

const Command kTestCommand = {
    "test",
    {{"test DLL VECTORS [--junit FILE]", "a part against test vectors: rows of inputs and the\n"
                                         "outputs they must give; failing rows are printed,\n"
                                         "exit status 1 on any; --junit writes a JUnit report"}},
    "",
    Test};

}  // namespace host
