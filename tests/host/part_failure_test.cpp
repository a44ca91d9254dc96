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
  const Outcome crash = Hostsim({"run", InTests("odd_crash.dll"), "-"}, kOneStep);
  EXPECT_EQ(1, crash.status);
  EXPECT_EQ(0u, crash.err.find("hostsim: odd_crash.dll: SimulateDLL3 crashed: access violation (0xC0000005) at "))
      << crash.err;
  EXPECT_EQ(1u, test::Lines(crash.err).size()) << "no register dump, no debugger:\n" << crash.err;

  const Outcome thrown = Hostsim({"truth", InTests("odd_throw.dll")});
  EXPECT_EQ(1, thrown.status);
  EXPECT_EQ("hostsim: odd_throw.dll: SimulateDLL3 ended the program: it let a C++ exception out or called abort",
            LastLine(thrown.err));

  const auto start = std::chrono::steady_clock::now();
  const Outcome hang = Hostsim({"run", InTests("odd_hang.dll"), "-"}, kOneStep);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(1, hang.status);
  EXPECT_EQ("hostsim: odd_hang.dll: SimulateDLL3 did not return within 5 s\n", hang.err);
}

// Each DLL is judged in a process of its own, and an area that takes that
// process down costs that area: the other areas and DLLs are judged all
// the same, the report names the area and the fault, and --junit holds a
// case for every area of every DLL.
TEST(PartFailure, CheckJudgesEveryAreaWhateverOneDoes) {
  const std::vector<std::string> dlls = {"Quenvik.dll", InTests("odd_hang.dll"), InTests("odd_throw.dll"),
                                         InTests("odd_smash.dll"), "Morrel.dll"};
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
  EXPECT_TRUE(Contains(out, "\n  FINDING stack: a crash outside the calls hostsim guards: access violation")) << out;
  EXPECT_EQ("checked 5 plug-ins: 15 findings in 3 of them", LastLine(check.out));
  const std::string xml = test::ReadAll(junit);
  EXPECT_TRUE(Contains(xml, "<testsuites name=\"hostsim check\" tests=\"45\" failures=\"15\"")) << xml;
  DeleteFileA(junit.c_str());
}

}  // namespace
