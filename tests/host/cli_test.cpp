// hostsim's subcommands as a user runs them: what they print, the files
// they write, their exit status.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "hostsim_process.h"
#include "vcd_reader.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::InBin;
using test::InTests;
using test::Outcome;

TEST(Help, NamesEveryCommandAndWhereTheFormatsAreDescribed) {
  const Outcome help = Hostsim({"--help"});
  EXPECT_EQ(0, help.status);
  for (const char* command :
       {"info DLL", "run DLL STIMULUS", "--vcd FILE", "truth DLL", "project save FILE", "project load FILE",
        "project show FILE", "dialog DLL", "--close-after SECONDS", "--screenshot FILE", "check DLL...", "bench DLL",
        "demo", "File formats: docs/formats.md", "docs/hostsim.md"})
    EXPECT_TRUE(Contains(help.out, command)) << command;
  EXPECT_EQ(help.out, Hostsim({"-h"}).out);
}

TEST(Info, DescribesTheAdderInUtf8) {
  const Outcome info = Hostsim({"info", InBin("Quenvik.dll")});
  EXPECT_EQ(0, info.status);
  EXPECT_EQ(InBin("Quenvik.dll") + ": Quenvik\n"
                                   "  inputs (3), labels \"AB\xC3\x9C\":\n"
                                   "    i0  Summand A\n"
                                   "    i1  Summand B\n"
                                   "    i2  \xC3\x9C"
                                   "bertrag\n"
                                   "  outputs (2), labels \"S\xC3\x9C\":\n"
                                   "    o0  Summe S\n"
                                   "    o1  \xC3\x9C"
                                   "bertrag\n"
                                   "  delay flag of a new part: 0\n"
                                   "  exports: 21 of 21 entry points\n",
            info.out);
  EXPECT_EQ("", info.err);
}

TEST(Info, NamesTheShiftRegistersMissingOptionalExport) {
  const Outcome info = Hostsim({"info", "Morrel.dll"});  // not in the current folder: found beside hostsim
  EXPECT_EQ(0, info.status);
  EXPECT_EQ(0u, info.out.find(InBin("Morrel.dll") + ": Schieberegister\n")) << info.out;
  EXPECT_TRUE(Contains(info.out, "    i0  L\xC3\xB6schen\n"));
  EXPECT_TRUE(Contains(info.out, "  delay flag of a new part: 1\n"));
  EXPECT_TRUE(Contains(info.out, "  exports: 20 of 21 entry points, without SetEnhancedInformation2 (optional)\n"));
}

// A path as a JSON string spells it.
std::string JsonPath(const std::string& path) {
  std::string json;
  for (char c : path) json += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return json;
}

TEST(Info, GivesTheSameFactsAsJson) {
  const Outcome info = Hostsim({"info", "--json", InBin("Quenvik.dll")});
  EXPECT_EQ(0, info.status);
  EXPECT_EQ("{\n  \"dll\": \"" + JsonPath(InBin("Quenvik.dll")) +
                "\",\n  \"name\": \"Quenvik\",\n"
                "  \"inputs\": {\"labels\": \"AB\xC3\x9C\", \"names\": [\"Summand A\",\"Summand B\",\"\xC3\x9C"
                "bertrag\"]},\n"
                "  \"outputs\": {\"labels\": \"S\xC3\x9C\", \"names\": [\"Summe S\",\"\xC3\x9C"
                "bertrag\"]},\n"
                "  \"delayFlag\": 0,\n"
                "  \"entryPoints\": {\"exported\": 21, \"of\": 21, \"missing\": []},\n"
                "  \"otherExports\": []\n}\n",
            info.out);
  const Outcome shiftRegister = Hostsim({"info", "Morrel.dll", "--json"});
  EXPECT_EQ(0, shiftRegister.status);
  EXPECT_TRUE(Contains(shiftRegister.out, "  \"delayFlag\": 1,\n")) << shiftRegister.out;
  EXPECT_TRUE(Contains(shiftRegister.out, "\"entryPoints\": {\"exported\": 20, \"of\": 21, \"missing\": "
                                          "[{\"name\": \"SetEnhancedInformation2\", \"optional\": true}]}"))
      << shiftRegister.out;
}

// ---- run

struct Table {
  std::vector<std::string> labels;
  std::vector<std::vector<std::string>> inputs, outputs;
};

// The rows under the "step" heading of run's output.
Table ReadTable(const std::string& out) {
  Table table;
  bool inTable = false;
  for (const std::string& line : test::Lines(out)) {
    if (line.rfind("step ", 0) == 0) {
      inTable = true;
      continue;
    }
    if (!inTable || line.find('|') == std::string::npos) continue;
    std::istringstream words(line);
    std::string label, word;
    words >> label;
    table.labels.push_back(label);
    table.inputs.emplace_back();
    table.outputs.emplace_back();
    bool outputs = false;
    while (words >> word) {
      if (word == "|")
        outputs = true;
      else
        (outputs ? table.outputs : table.inputs).back().push_back(word);
    }
  }
  return table;
}

char LevelOfInput(const std::string& shown) {
  if (shown == "0" || shown == "1") return shown[0];
  return std::atof(shown.c_str()) > 2.5 ? '1' : '0';
}

char LevelOfOutput(const std::string& shown) { return shown == "0" || shown == "1" ? shown[0] : 'x'; }

std::vector<const test::VcdWire*> WiresOf(const test::Vcd& vcd, const std::string& scope) {
  std::vector<const test::VcdWire*> wires;
  for (const test::VcdWire& wire : vcd.wires)
    if (wire.scope == scope) wires.push_back(&wire);
  return wires;
}

// Row k of the table is time k of the dump, pin for pin.
void ExpectDumpMatchesTable(const test::Vcd& vcd, const Table& table, const std::string& part) {
  const auto in = WiresOf(vcd, part + ".in"), out = WiresOf(vcd, part + ".out");
  ASSERT_FALSE(table.labels.empty());
  EXPECT_EQ(long(table.labels.size()), vcd.lastTime);
  for (std::size_t row = 0; row < table.labels.size(); ++row) {
    ASSERT_EQ(in.size(), table.inputs[row].size());
    ASSERT_EQ(out.size(), table.outputs[row].size());
    for (std::size_t i = 0; i < in.size(); ++i)
      EXPECT_EQ(LevelOfInput(table.inputs[row][i]), vcd.ValueAt(in[i]->code, long(row))) << "row " << row << " i" << i;
    for (std::size_t j = 0; j < out.size(); ++j)
      EXPECT_EQ(LevelOfOutput(table.outputs[row][j]), vcd.ValueAt(out[j]->code, long(row)))
          << "row " << row << " o" << j;
  }
}

std::vector<std::string> References(const test::Vcd& vcd, const std::string& scope) {
  std::vector<std::string> references;
  for (const test::VcdWire* wire : WiresOf(vcd, scope)) references.push_back(wire->reference);
  return references;
}

TEST(Run, AdderTableAndDumpAgree) {
  const std::string vcdPath = test::Scratch("adder.vcd");
  const Outcome run = Hostsim({"run", "Quenvik.dll", InTests("examples\\quenvik_add.stim"), "--vcd", vcdPath});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(test::Golden("quenvik_add.txt"),
            test::WithFolderAs(run.out.substr(0, run.out.rfind("wrote ")), test::BinFolder(), "<bin>"));
  EXPECT_TRUE(Contains(run.out, "wrote " + vcdPath + "\n"));
  const std::string dump = test::ReadAll(vcdPath);
  EXPECT_EQ(test::Golden("quenvik_add.vcd"), dump);
  test::Vcd vcd;
  ASSERT_EQ("", test::ReadVcd(dump, vcd));
  EXPECT_EQ((std::vector<std::string>{"Summand_A", "Summand_B", "Uebertrag"}), References(vcd, "Quenvik.in"));
  EXPECT_EQ((std::vector<std::string>{"Summe_S", "Uebertrag"}), References(vcd, "Quenvik.out"));
  ExpectDumpMatchesTable(vcd, ReadTable(run.out), "Quenvik");
  DeleteFileA(vcdPath.c_str());
}

TEST(Run, DecoderTableAndDumpAgree) {
  const std::string vcdPath = test::Scratch("decoder.vcd");
  const Outcome run = Hostsim({"run", "Tamberlo.dll", InTests("examples\\tamberlo_digits.stim"), "--vcd", vcdPath});
  ASSERT_EQ(0, run.status) << run.err;
  test::Vcd vcd;
  ASSERT_EQ("", test::ReadVcd(test::ReadAll(vcdPath), vcd));
  EXPECT_EQ((std::vector<std::string>{"Erstes_Bit", "Zweites_Bit", "Drittes_Bit", "Viertes_Bit"}),
            References(vcd, "BCD_Anzeige.in"));
  EXPECT_EQ("_1_von_7_Segmenten", References(vcd, "BCD_Anzeige.out").at(0));
  const Table table = ReadTable(run.out);
  ASSERT_EQ(17u, table.labels.size());
  EXPECT_EQ((std::vector<std::string>{"0", "0", "0", "0", "0", "0", "0"}), table.outputs[0]) << "dark at the start";
  EXPECT_EQ((std::vector<std::string>{"1", "1", "1", "0", "1", "1", "1"}), table.outputs[1]) << "0";
  EXPECT_EQ((std::vector<std::string>{"1", "1", "0", "1", "1", "0", "0"}), table.outputs[16]) << "F";
  ExpectDumpMatchesTable(vcd, table, "BCD_Anzeige");
  DeleteFileA(vcdPath.c_str());
}

// The shift register takes its width from the settings: a one goes in at
// the first edge and is out after the fourth, or after the eighth.
TEST(Run, SettingsReachThePartBeforeTheRun) {
  std::string stimulus = "0 0 1 1\n";
  for (int edge = 0; edge < 9; ++edge) stimulus += "0 1 1 1\n0 0 1 1\n";
  auto firstOne = [](const Outcome& run) {
    const Table table = ReadTable(run.out);
    for (std::size_t row = 0; row < table.outputs.size(); ++row)
      if (table.outputs[row].at(0) == "1") return int(row);
    return -1;
  };
  const Outcome four = Hostsim({"run", "Morrel.dll", "-"}, stimulus);
  const Outcome eight = Hostsim({"run", "Morrel.dll", "-", "--settings", "8,1"}, stimulus);
  ASSERT_EQ(0, four.status) << four.err;
  ASSERT_EQ(0, eight.status) << eight.err;
  EXPECT_EQ(8, firstOne(four)) << four.out;
  EXPECT_EQ(16, firstOne(eight)) << eight.out;
  EXPECT_TRUE(Contains(four.out, "19 steps of (standard input)"));
}

// The settings line under the heading: what the part holds after reading
// --settings, compared with what it was given.
TEST(Run, SaysWhichSettingsThePartHoldsAndWhichValuesItDidNotTake) {
  const std::string stimulus = "0 0 1 1\n";
  const struct {
    std::vector<std::string> settings;
    std::string line;
  } cases[] = {
      {{}, "settings 4,1, a new part's"},
      {{"--settings", "8,0"}, "settings 8,0, read from --settings 8,0"},
      {{"--settings", "16"}, "settings 16,1, read from --settings 16"},
      {{"--settings", "17,1"}, "settings 4,1 after --settings 17,1: the part did not take 17 (value 1)"},
      {{"--settings", "-4,1"}, "settings 4,1 after --settings -4,1: the part did not take -4 (value 1)"},
      {{"--settings", "a,b"}, "settings 4,1 after --settings a,b: the part did not take a, b (values 1 and 2)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"run", "Morrel.dll", "-"};
    arguments.insert(arguments.end(), c.settings.begin(), c.settings.end());
    const Outcome run = Hostsim(arguments, stimulus);
    ASSERT_EQ(0, run.status) << run.err;
    const std::vector<std::string> lines = test::Lines(run.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("Schieberegister (" + InBin("Morrel.dll") + "), 1 step of (standard input)", lines[0]);
    EXPECT_EQ(c.line, lines[1]);
  }
}

// Notepad's "Unicode": the run reads it and says how.
TEST(Run, ReadsAUtf16StimulusAndSaysSo) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("1 1 0\r\n")) utf16 += std::string{c, '\0'};
  const Outcome run = Hostsim({"run", "Quenvik.dll", "-"}, utf16);
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Quenvik (" + InBin("Quenvik.dll") + "), 1 step of (standard input), read as UTF-16 little-endian",
            test::Lines(run.out)[0]);
  EXPECT_EQ((std::vector<std::string>{"0", "1"}), ReadTable(run.out).outputs.at(1));
}

// ---- truth

TEST(Truth, AdderTableFollowsTheRule) {
  const Outcome truth = Hostsim({"truth", "Quenvik.dll"});
  ASSERT_EQ(0, truth.status) << truth.err;
  std::vector<std::string> lines = test::Lines(truth.out);
  ASSERT_EQ(13u, lines.size()) << truth.out;
  EXPECT_EQ("Quenvik (" + InBin("Quenvik.dll") + "): truth table", lines[0]);
  EXPECT_EQ("i0 i1 i2 | o0 o1", lines[4]);
  for (int code = 0; code < 8; ++code) {
    const int high = (code & 1) + (code >> 1 & 1) + (code >> 2 & 1);
    char row[32];
    std::snprintf(row, sizeof row, " %d  %d  %d |  %d  %d", code & 1, code >> 1 & 1, code >> 2 & 1, high & 1,
                  high >= 2);
    EXPECT_EQ(row, lines[5 + code]);
  }
}

TEST(Truth, DecoderTableHasSixteenRowsFromItsEvaluation) {
  const Outcome truth = Hostsim({"truth", "Tamberlo.dll"});
  ASSERT_EQ(0, truth.status) << truth.err;
  const std::vector<std::string> lines = test::Lines(truth.out);
  ASSERT_EQ(25u, lines.size()) << truth.out;
  EXPECT_EQ(" 0  0  0  0 |  1  1  1  0  1  1  1", lines[9]) << "0, not the dark initial evaluation";
  EXPECT_EQ(" 1  1  1  1 |  1  1  0  1  1  0  0", lines[24]) << "F";
}

TEST(Truth, GivesTheTableOrTheHistoryAsJson) {
  const Outcome adder = Hostsim({"truth", "Quenvik.dll", "--json"});
  EXPECT_EQ(0, adder.status) << adder.err;
  EXPECT_TRUE(Contains(adder.out, "\n  \"inputs\": [\"Summand A\",\"Summand B\",\"\xC3\x9C"
                                  "bertrag\"],\n  \"outputs\": [\"Summe S\",\"\xC3\x9C"
                                  "bertrag\"],\n  \"combinational\": true,\n  \"rows\": [\n"
                                  "    {\"inputs\": [0, 0, 0], \"outputs\": [\"0\",\"0\"]},\n"
                                  "    {\"inputs\": [1, 0, 0], \"outputs\": [\"1\",\"0\"]},\n"))
      << adder.out;
  EXPECT_TRUE(Contains(adder.out, "\n    {\"inputs\": [1, 1, 0], \"outputs\": [\"0\",\"1\"]},\n")) << adder.out;
  EXPECT_TRUE(Contains(adder.out, "\n    {\"inputs\": [1, 1, 1], \"outputs\": [\"1\",\"1\"]}]\n}\n")) << adder.out;

  const Outcome shiftRegister = Hostsim({"truth", "--json", "Morrel.dll"});
  EXPECT_EQ(1, shiftRegister.status);
  EXPECT_TRUE(Contains(shiftRegister.out, "\n  \"combinational\": false,\n  \"history\": {\"inputs\": [0, 1, 1, 1], "
                                          "\"first\": [\"0\"], \"later\": [\"1\"]}\n}\n"))
      << shiftRegister.out;
}

TEST(Truth, ShiftRegisterHasNoneAndSaysSoInOneLine) {
  const Outcome truth = Hostsim({"truth", "Morrel.dll"});
  EXPECT_EQ(1, truth.status);
  EXPECT_EQ(1u, test::Lines(truth.out).size()) << truth.out;
  EXPECT_EQ(0u, truth.out.find("Schieberegister (" + InBin("Morrel.dll") +
                               ") has no truth table: its outputs depend on its history"))
      << truth.out;
}

// ---- bench

// One DLL's block of bench's report: from its heading to the next one.
std::string BenchBlock(const std::string& out, const std::string& heading) {
  const std::size_t at = out.find(heading);
  if (at == std::string::npos) return "";
  return out.substr(at, out.find(" evaluations\n", out.find("a run of ", at)) - at);
}

// The number behind a label of the block; NaN when the label is missing.
double Figure(const std::string& block, const std::string& label) {
  const std::size_t at = block.find(label);
  return at == std::string::npos ? std::nan("") : std::atof(block.c_str() + at + label.size());
}

// The floor is the sum of its two parts and the ratio the export's time
// over it, each as far as the printed rounding (0.1 ns, 0.01) allows.
void ExpectFiguresAddUp(const std::string& block) {
  const double exportNs = Figure(block, "through SimulateDLL3:"), floorNs = Figure(block, "\n  floor:"),
               emptyNs = Figure(block, "empty export:"), workNs = Figure(block, "least inline work:"),
               ratio = Figure(block, "ratio to the floor:");
  for (double figure : {exportNs, floorNs, emptyNs, workNs, ratio}) EXPECT_GT(figure, 0.0) << block;
  EXPECT_NEAR(emptyNs + workNs, floorNs, 0.1 + 1e-9) << block;
  EXPECT_LE(ratio, (exportNs + 0.05) / (floorNs - 0.05) + 0.005) << block;
  EXPECT_GE(ratio, (exportNs - 0.05) / (floorNs + 0.05) - 0.005) << block;
}

TEST(Bench, ReportsEachDllAgainstItsFloorAndFindsNoAllocation) {
  const Outcome bench = Hostsim({"bench", "Tamberlo.dll", "Quenvik.dll", "Morrel.dll", "--evaluations", "3000"});
  ASSERT_EQ(0, bench.status) << bench.out << bench.err;
  for (const std::string& heading :
       {"BCD-Anzeige (" + InBin("Tamberlo.dll") + ")", "Quenvik (" + InBin("Quenvik.dll") + ")",
        "Schieberegister (" + InBin("Morrel.dll") + ")"}) {
    const std::string block = BenchBlock(bench.out, heading + ": best of 7 rounds of 3000 evaluations\n");
    ASSERT_NE("", block) << heading << "\n" << bench.out;
    ExpectFiguresAddUp(block);
    EXPECT_FALSE(Contains(block, "goal")) << "no goal, no verdict";
    // The counter sees the allocation of a new part, so its silence over
    // the evaluations means something.
    EXPECT_TRUE(Contains(block, "  placing and removing a part:  msvcrt.dll!free 1, msvcrt.dll!malloc 1\n"));
    EXPECT_TRUE(Contains(block, "  a run of 3000 evaluations:  nothing, so no heap allocation"));
  }
  // The shift register is timed against the rule the bench has for it.
  EXPECT_TRUE(Contains(BenchBlock(bench.out, "Schieberegister (" + InBin("Morrel.dll") + ")"),
                       ", levels from the bytes, outputs from ready patterns, the rule\n"))
      << bench.out;
}

// A part the bench has no rule for gets a floor derived from its DLL: a
// table of its outputs where they follow from its inputs, else the levels
// and patterns alone, and the report says which.
TEST(Bench, DerivesAFloorForAPartWithoutARule) {
  const std::string stateful = test::Scratch("Stateful") + ".dll";
  ASSERT_TRUE(CopyFileA(InBin("Morrel.dll").c_str(), stateful.c_str(), FALSE));
  const Outcome bench = Hostsim({"bench", stateful, "Quenvik.dll", "--evaluations", "3000"});
  DeleteFileA(stateful.c_str());
  ASSERT_EQ(0, bench.status) << bench.out << bench.err;
  const std::string withState = BenchBlock(bench.out, "Schieberegister (" + stateful + ")");
  ExpectFiguresAddUp(withState);
  EXPECT_TRUE(Contains(withState, ", levels from the bytes, outputs from ready patterns; it has state, and no rule"))
      << withState;
  EXPECT_TRUE(Contains(BenchBlock(bench.out, "Quenvik (" + InBin("Quenvik.dll") + ")"),
                       ", outputs from a table read from the DLL\n"))
      << bench.out;
}

// Both parts' blocks of a bench with `goal`: complete, with the verdict.
void ExpectVerdicts(const std::string& goal, int status, const std::string& verdict) {
  const Outcome bench = Hostsim({"bench", "Morrel.dll", "Quenvik.dll", "--evaluations", "3000", "--goal", goal});
  EXPECT_EQ(status, bench.status) << bench.out << bench.err;
  for (const std::string& heading :
       {"Quenvik (" + InBin("Quenvik.dll") + ")", "Schieberegister (" + InBin("Morrel.dll") + ")"}) {
    const std::string block = BenchBlock(bench.out, heading);
    ExpectFiguresAddUp(block);
    EXPECT_TRUE(Contains(block, " (goal " + goal + ": " + verdict + ")\n")) << block;
    EXPECT_TRUE(Contains(block, "  a run of 3000 evaluations:  nothing, so no heap allocation"));
  }
  EXPECT_EQ("", bench.err);
}

// Goals no machine misses and none meets: the verdict and the exit status
// follow the goal, and the report is the same apart from the verdict.
TEST(Bench, GoalDecidesTheExitStatus) {
  ExpectVerdicts("1000000", 0, "met");
  ExpectVerdicts("0.0001", 1, "missed");
}

// ---- test

// A wrong row is printed with its line, inputs, what was expected and what
// came; the counts close the output, and the JUnit report has a case for
// every row and a failure for the wrong one.
TEST(Test, AWrongRowFailsAndIsReported) {
  const std::string vectors = test::Scratch("adder.vectors"), junit = test::Scratch("adder.xml");
  test::WriteAll(vectors, "repeat 8 n: bits(3, n) | bits(1, n ^ n >> 1 ^ n >> 2) X\n1 1 0 | 1 1\n");
  const Outcome run = Hostsim({"test", "Quenvik.dll", vectors, "--junit", junit});
  EXPECT_EQ(1, run.status) << run.err;
  EXPECT_TRUE(Contains(run.out, "\nFAILED line 2, inputs 1 1 0: expected 1 1, got 0 1\n")) << run.out;
  EXPECT_EQ("8 passed, 1 failed", test::Lines(run.out).back());
  const std::string xml = test::ReadAll(junit);
  EXPECT_TRUE(Contains(xml, "<testsuites name=\"hostsim test\" tests=\"9\" failures=\"1\" errors=\"0\">")) << xml;
  EXPECT_TRUE(Contains(xml, "name=\"line 1 (n=7)\"/>")) << xml;
  EXPECT_TRUE(Contains(xml, "name=\"line 2\">\n      <failure message=\"inputs 1 1 0: expected 1 1, got 0 1\">"))
      << xml;
  DeleteFileA(vectors.c_str());
  DeleteFileA(junit.c_str());
}

// ---- demo

TEST(Demo, ShowsThePlugInsAtWork) {
  const Outcome demo = Hostsim({"demo"});
  EXPECT_EQ(0, demo.status) << demo.err;
  EXPECT_EQ(test::Golden("demo.txt"), test::WithFolderAs(demo.out, test::BinFolder(), "<bin>"));
  EXPECT_EQ("", demo.err);
}

// The parts come from the folder's list, in its order, and a part's run
// from the demo stimulus beside it: here the register alone, given a run
// of two steps of its own.
TEST(Demo, ShowsWhatTheFolderLists) {
  const std::string folder = test::Scratch("demo");
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\demo").c_str(), nullptr);
  CopyFileA(InBin("Morrel.dll").c_str(), (folder + "\\Morrel.dll").c_str(), FALSE);
  test::WriteAll(folder + "\\parts.txt", "Morrel.dll\n");
  test::WriteAll(folder + "\\demo\\Morrel.stim", "0 0 1 1\n0 1 1 1\n");
  const Outcome demo = Hostsim({"demo", folder});
  EXPECT_EQ(0, demo.status) << demo.err;
  std::size_t headings = 0;
  for (std::size_t at = 0; (at = demo.out.find("\n== ", at)) != std::string::npos; ++at) ++headings;
  EXPECT_EQ(2u, headings) << demo.out;  // the one part, and the project
  EXPECT_NE(std::string::npos, demo.out.find("\n== Morrel.dll ==\n")) << demo.out;
  EXPECT_NE(std::string::npos, demo.out.find("Morrel.dll, 2 steps of demo\\Morrel.stim, settings 4,1")) << demo.out;
  EXPECT_NE(std::string::npos, demo.out.find("  Takteingang        _\u203E\n")) << demo.out;
  EXPECT_NE(std::string::npos, demo.out.find("hostsim project save demo.hsp Morrel.dll\n")) << demo.out;
  for (const char* file : {"\\demo\\Morrel.stim", "\\parts.txt", "\\Morrel.dll"}) DeleteFileA((folder + file).c_str());
  RemoveDirectoryA((folder + "\\demo").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
