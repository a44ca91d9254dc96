// A part must leave the floating-point state as it found it. Test parts
// (one_fault_plugin/) that leave the x87 rounding at chop, its precision at 24
// bits, a value on its register stack or the MXCSR's control fields
// changed are named by every command that calls them, with the entry point
// and the state before and after; one that reads its input through the
// x87 is named by check's floating-point area, where exceptions are
// unmasked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "hostsim_process.h"

namespace {

using test::CheckReportOf;
using test::Contains;
using test::Hostsim;
using test::InTests;
using test::Outcome;

// How one one-fault plug-in's change is told: the words up to the value before,
// what follows the value after, and the value after from the one before.
struct StateChange {
  const char* dll;
  const char* words;
  const char* fields;
  unsigned (*after)(unsigned before);
};

std::vector<StateChange> Changes() {
  std::vector<StateChange> changes = {
      {"one_fault_chop.dll", "changes the x87 control word from ", "(rounding nearest to chop)",
       [](unsigned before) { return before | 0x0C00u; }},
      {"one_fault_precision24.dll", "changes the x87 control word from ", " to 24 bits)",
       [](unsigned before) { return before & ~0x0300u; }},
      {"one_fault_stack_left.dll", "changes the x87 register stack: top ", "(1 value left on it)",
       [](unsigned before) { return (before + 7) % 8; }},
  };
  if (IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE))
    changes.push_back({"one_fault_mxcsr.dll", "changes the MXCSR from ",
                       "(flush to zero off to on, denormals are zero off to on)",
                       [](unsigned before) { return before | 0x8040u; }});
  return changes;
}

// The first line of `text` that tells a change by `entryPoint` (in words
// that start with it: "SimulateDLL3 on part 2"), after checking that its
// values follow from each other as the part changes them. Empty where none.
std::string ChangeLine(const std::string& text, const std::string& entryPoint, const StateChange& change) {
  for (const std::string& line : test::Lines(text)) {
    const std::size_t at = line.find(change.words), by = line.find(entryPoint);
    unsigned before = 0, after = 0;
    if (at == std::string::npos || by > at ||
        std::sscanf(line.c_str() + at + std::strlen(change.words), "%i to %i", &before, &after) != 2)
      continue;
    EXPECT_EQ(change.after(before), after) << line;
    EXPECT_TRUE(Contains(line, change.fields)) << line;
    return line;
  }
  return "";
}

TEST(FloatingPoint, RunAndTestNameTheCallThatChangesTheState) {
  const std::string vectors = test::Scratch("follower.vectors");
  test::WriteAll(vectors, "0 | 0\n1 | 1\n0 | 0\n");
  for (const StateChange& change : Changes()) {
    const std::string dll = InTests(change.dll);
    const Outcome run = Hostsim({"run", dll, "-"}, "0\n1\n");
    EXPECT_EQ(1, run.status) << run.err;
    EXPECT_EQ(1u, test::Lines(run.err).size()) << run.err;
    EXPECT_EQ(0u, ChangeLine(run.err, "SimulateDLL3", change).find(std::string("hostsim: ") + change.dll + ": "))
        << run.err;

    // The initial evaluation keeps the state; each row after it fails, and
    // the run goes on to the end.
    const Outcome rows = Hostsim({"test", dll, vectors});
    EXPECT_EQ(1, rows.status) << rows.err;
    for (const char* line : {"line 2", "line 3"})
      EXPECT_TRUE(
          Contains(rows.out, std::string("FAILED ") + line + ", " + change.dll + ": SimulateDLL3 " + change.words))
          << line << "\n"
          << rows.out;
    EXPECT_NE("", ChangeLine(rows.out, "SimulateDLL3", change)) << rows.out;
    EXPECT_EQ("1 passed, 2 failed", test::Lines(rows.out).back());
  }
  DeleteFileA(vectors.c_str());
}

TEST(FloatingPoint, FuzzNamesTheCallAndHowToReplayIt) {
  for (const StateChange& change : Changes()) {
    const Outcome fuzz = Hostsim({"fuzz", InTests(change.dll), "--seed", "7", "--calls", "500"});
    EXPECT_EQ(1, fuzz.status) << fuzz.out << fuzz.err;
    const std::size_t finding = fuzz.out.find("\nFINDING call ");
    ASSERT_NE(std::string::npos, finding) << fuzz.out;
    EXPECT_TRUE(Contains(fuzz.out.substr(finding), ": SimulateDLL3 on part ")) << fuzz.out;
    EXPECT_NE("", ChangeLine(fuzz.out, "SimulateDLL3 on part ", change)) << fuzz.out;
    EXPECT_TRUE(Contains(fuzz.out, "\nreplay: hostsim fuzz " + InTests(change.dll) + " --seed 7 --calls ")) << fuzz.out;
  }
}

// Every area that calls SimulateDLL3 names the change, and no other entry
// point is blamed: the MXCSR part's InitSimulationDLL2 sets only an
// exception flag, which is status, not state. The floating-point area
// evaluates with x87 exceptions unmasked.
TEST(FloatingPoint, CheckNamesEachChangeInEveryAreaThatMakesTheCall) {
  const std::vector<StateChange> changes = Changes();
  std::vector<std::string> arguments = {"check"};
  for (const StateChange& change : changes) arguments.push_back(InTests(change.dll));
  arguments.push_back(InTests("one_fault_x87_input.dll"));
  arguments.push_back("Quenvik.dll");
  const Outcome check = Hostsim(arguments);
  EXPECT_EQ(1, check.status) << check.err;
  for (const StateChange& change : changes) {
    const std::string report = CheckReportOf(check.out, change.dll);
    for (const char* area : {"stack", "outputs", "record", "instances"}) {
      const std::size_t at = report.find(std::string("  FINDING ") + area + ": SimulateDLL3 " + change.words);
      ASSERT_NE(std::string::npos, at) << change.dll << " " << area << "\n" << check.out;
      EXPECT_NE("", ChangeLine(report.substr(at), "SimulateDLL3", change)) << report;
    }
    EXPECT_TRUE(
        Contains(report, "  FINDING floating-point: SimulateDLL3 with every input 2.5 (4000:a000000000000000) " +
                             std::string(change.words)))
        << report;
    EXPECT_FALSE(Contains(report, "InitSimulationDLL2")) << report;
  }
  // Reading its input through the x87 is harmless where the exceptions are
  // masked, and traps, or raises invalid operation, where they are not.
  const std::string x87 = CheckReportOf(check.out, "one_fault_x87_input.dll");
  for (const char* entryPoint : {"InitSimulationDLL2", "SimulateDLL3"}) {
    const std::size_t at = x87.find(std::string("  FINDING floating-point: ") + entryPoint + " with every input a");
    ASSERT_NE(std::string::npos, at) << x87;
    const std::string line = x87.substr(at, x87.find('\n', at) - at);
    EXPECT_TRUE(Contains(line, ": traps: floating-point invalid operation") ||
                Contains(line, " raises invalid operation, unmasked by the control word 0x13"))
        << line;
  }
  EXPECT_TRUE(Contains(x87, "\n  2 findings\n")) << x87;
  const std::string quenvik = CheckReportOf(check.out, "Quenvik.dll");
  EXPECT_TRUE(Contains(quenvik, "  ok      floating-point: 28 evaluations on 14 odd inputs")) << check.out;
  EXPECT_TRUE(Contains(quenvik, "\n  no findings\n")) << quenvik;
}

// The recorded control word is the one a replayed call finds, and judged
// against; a part that keeps it replays without a difference.
TEST(FloatingPoint, ReplayJudgesACallAgainstTheRecordedState) {
  const std::string trace = test::Scratch("odd.trace");
  test::WriteAll(trace,
                 "korvelant call trace 1\r\n"
                 "part one_fault_none.dll\r\n"
                 "> 1 0 InitUserDLL depth=0 align=12 cw=027f slots=00d15e30 slot={00*4} window={00*4}\r\n"
                 "< 1 0 InitUserDLL depth=0 eax=00000000 edx=00000000 pop=4 cw=027f slot=4005d100 window={00*4}\r\n"
                 "> 2 0 SimulateDLL3 depth=0 align=12 cw=027f slots=00000000,00000000,00000000,00000000,00000000,"
                 "00000000,00d15e30,0080f2a0,0080f688 slot=4005d100 window={00*4} in={00*10} out={ee*10}\r\n"
                 "< 2 0 SimulateDLL3 depth=0 eax=00000000 edx=00000000 pop=36 cw=027f slot=4005d100 window={00*4} "
                 "out={00*10}\r\n");
  const Outcome kept = Hostsim({"replay", trace, InTests("one_fault_none.dll")});
  EXPECT_EQ(0, kept.status) << kept.out << kept.err;
  EXPECT_TRUE(Contains(kept.out, "replayed 2 calls, 0 differing\n")) << kept.out;
  const Outcome chop = Hostsim({"replay", trace, InTests("one_fault_chop.dll")});
  EXPECT_EQ(1, chop.status) << chop.out;
  EXPECT_EQ("hostsim: one_fault_chop.dll: SimulateDLL3 changes the x87 control word from 0x027F to 0x0E7F (rounding "
            "nearest to "
            "chop)\n",
            chop.err);
  DeleteFileA(trace.c_str());
}

// The bench says which call changed what instead of timing the part, and
// times the others.
TEST(FloatingPoint, BenchSaysWhyAPartIsNotTimed) {
  const StateChange chop = Changes().front();
  const Outcome bench = Hostsim({"bench", InTests(chop.dll), "Quenvik.dll", "--evaluations", "1000"});
  EXPECT_EQ(1, bench.status) << bench.out << bench.err;
  const std::string line = ChangeLine(bench.out, "SimulateDLL3", chop);
  EXPECT_EQ(0u, line.find(InTests(chop.dll) + ": not timed: one_fault_chop.dll: SimulateDLL3 ")) << bench.out;
  EXPECT_TRUE(Contains(bench.out, "Quenvik (" + test::InBin("Quenvik.dll") + "): best of 7 rounds")) << bench.out;
}

}  // namespace
