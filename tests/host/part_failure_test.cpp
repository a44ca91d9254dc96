// A part that crashes, hangs or lets an exception out costs one finding:
// the command that called it ends with exit status 1 and a line that
// names the DLL, the entry point and the fault, and `check` judges every
// other DLL all the same.
#include <gtest/gtest.h>

#include <chrono>

#include "hostsim_process.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::InTests;
using test::Outcome;

const std::string kOneStep = "0\n1\n";

// The last line of the error output, which hostsim writes.
std::string LastLine(const std::string& text) {
  const std::vector<std::string> lines = test::Lines(text);
  return lines.empty() ? "" : lines.back();
}

TEST(PartFailure, EndsTheCommandWithTheFaultNamed) {
  const Outcome crash = Hostsim({"run", InTests("one_fault_crash.dll"), "-"}, kOneStep);
  EXPECT_EQ(1, crash.status);
  // The same write to an unmapped address is an access violation on a real
  // processor and an illegal instruction under a user-mode emulator: what
  // both show is the DLL, the entry point, that it crashed and a code.
  EXPECT_EQ(0u, crash.err.find("hostsim: one_fault_crash.dll: SimulateDLL3 crashed: ")) << crash.err;
  EXPECT_TRUE(Contains(crash.err, " (0xC0000005) at ") || Contains(crash.err, " (0xC000001D) at ")) << crash.err;
  EXPECT_EQ(1u, test::Lines(crash.err).size()) << "no register dump, no debugger:\n" << crash.err;

  const Outcome thrown = Hostsim({"truth", InTests("one_fault_throw.dll")});
  EXPECT_EQ(1, thrown.status);
  EXPECT_EQ("hostsim: one_fault_throw.dll: SimulateDLL3 ended the program: it let a C++ exception out or called abort",
            LastLine(thrown.err));

  const auto start = std::chrono::steady_clock::now();
  const Outcome hang = Hostsim({"run", InTests("one_fault_hang.dll"), "-"}, kOneStep);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(1, hang.status);
  EXPECT_EQ("hostsim: one_fault_hang.dll: SimulateDLL3 did not return within 5 s\n", hang.err);
}

// A part that crashes on its way out has given its answers: they stand,
// and the crash is said after them and makes the exit status 1.
TEST(PartFailure, ACrashInTheCleanUpIsSaidAfterTheAnswers) {
  const Outcome info = Hostsim({"info", InTests("one_fault_dispose_crash.dll")});
  EXPECT_EQ(1, info.status);
  EXPECT_TRUE(Contains(info.out, "  delay flag of a new part: ")) << info.out;
  EXPECT_EQ(0u, info.err.find("hostsim: one_fault_dispose_crash.dll: DisposeUserDLL crashed: ")) << info.err;
  EXPECT_EQ(1u, test::Lines(info.err).size()) << info.err;
}

// Each DLL is judged in a process of its own, and an area that takes that
// process down costs that area: the other areas and DLLs are judged all
// the same, the report names the area and the fault, and --junit holds a
// case for every area of every DLL.
TEST(PartFailure, CheckJudgesEveryAreaWhateverOneDoes) {
  const std::vector<std::string> dlls = {"Quenvik.dll", InTests("one_fault_hang.dll"), InTests("one_fault_throw.dll"),
                                         InTests("one_fault_smash.dll"), "Morrel.dll"};
  const std::string junit = test::Scratch("check.xml");
  std::vector<std::string> arguments = {"check", "--junit", junit};
  arguments.insert(arguments.end(), dlls.begin(), dlls.end());
  const Outcome check = Hostsim(arguments);
  EXPECT_EQ(1, check.status) << check.err;
  const std::string& out = check.out;
  std::size_t at = 0;
  for (const std::string& dll : dlls) {
    at = out.find("\\" + dll.substr(dll.find_last_of('\\') + 1) + " (", at);
    ASSERT_NE(std::string::npos, at) << dll << " has no heading, or not in order:\n" << out;
  }
  EXPECT_TRUE(Contains(out, "\n  FINDING record: SimulateDLL3 did not return within 5 s\n  ok      persistence"))
      << out;
  EXPECT_TRUE(Contains(out, "\n  FINDING stack: SimulateDLL3 ended the program: it let a C++ exception out or called "
                            "abort\n"))
      << out;
  // The stack overwritten ends the process on its way back from the call,
  // in each area that evaluates: a crash named as hostsim saw it or, where
  // an emulator ends the process without a word, an end at its status.
  // The crash may come in hostsim's own code, which hostsim then says,
  // naming the call before it; it is a finding of the area all the same.
  const std::size_t smash = out.find("one_fault_smash.dll (");
  const std::string stack = out.substr(out.find("\n  FINDING stack: ", smash), 200);
  EXPECT_TRUE(Contains(stack, "a crash outside the calls hostsim guards: ") ||
              Contains(stack, "the process judging it ended in the middle of the area, with exit "))
      << out;
  EXPECT_EQ(4u, test::Count(out, "; the last entry point called: SimulateDLL3\n")) << out;
  EXPECT_EQ("checked 5 plug-ins: 15 findings in 3 of them", LastLine(check.out));
  const std::string xml = test::ReadAll(junit);
  EXPECT_TRUE(Contains(xml, "<testsuites name=\"hostsim check\" tests=\"45\" failures=\"15\"")) << xml;
  DeleteFileA(junit.c_str());
}

// A process that ends in the middle of an area is a finding of that area
// whatever its exit status, 0 included, named by the entry point it
// called last; the summary, the JSON and the exit status count it.
TEST(PartFailure, CheckCountsAProcessEndedWithStatus0AsAFinding) {
  const std::string json = test::Scratch("ended.json");
  const Outcome check = Hostsim({"check", InTests("one_fault_exit.dll"), "Quenvik.dll", "--json", json});
  EXPECT_EQ(1, check.status);
  const std::string ended =
      "the process judging it ended in the middle of the area, with exit status 0; the last entry point called: "
      "SimulateDLL3";
  for (const char* area : {"stack", "outputs", "record", "instances", "floating-point"})
    EXPECT_TRUE(Contains(check.out, "\n  FINDING " + std::string(area) + ": " + ended + "\n")) << area << "\n"
                                                                                               << check.out;
  EXPECT_TRUE(Contains(check.out, "\n  ok      pins: ")) << check.out;
  EXPECT_TRUE(Contains(check.out, "\n  5 findings\n"));
  EXPECT_EQ("checked 2 plug-ins: 5 findings in 1 of them", LastLine(check.out));
  EXPECT_EQ(5u, test::Count(test::ReadAll(json), "\"text\": \"" + ended + "\""));
  DeleteFileA(json.c_str());
}

// A run count far beyond memory in a trace once made hostsim's allocation
// fail, its own fault; the reader now holds it to the region's size, so
// it is the input's fault, named by its line and column, never a part's
// difference nor hostsim's own.
TEST(OwnFault, ATraceBeyondMemoryIsBadInputWithItsLineAndColumn) {
  const std::string trace = test::Scratch("own_fault_trace.txt");
  test::WriteAll(trace,
                 "korvelant call trace 1\r\n"
                 "> 1 0 GetNumberOfInputsOutputs2 depth=0 align=12 cw=037f slots=00000000,00000000,00000001,00000000 "
                 "pins={00*4294967295}\r\n");
  const Outcome replay = Hostsim({"replay", trace, "Quenvik.dll"});
  EXPECT_EQ(2, replay.status) << replay.err;
  EXPECT_EQ("hostsim: " + trace + ", line 2, column 109: a run's count is more than 4102\n", replay.err);
  EXPECT_EQ("", replay.out);
  DeleteFileA(trace.c_str());
}

}  // namespace
