// `hostsim test` on vector files made to break it: bad input is refused
// with exit status 2, named by file, line and column, before any row runs;
// a part's wrong answer, or settings it did not take, is exit status 1.
#include <windows.h>

#include <gtest/gtest.h>

#include "hostsim_process.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::Outcome;

// The vector file of these tests, and its name as `test` prints it.
const std::string kVectors = test::Scratch("hostile.vectors");
const std::string kVectorsName = kVectors.substr(kVectors.rfind('\\') + 1);

// `test` of the DLL on a vector file holding `bytes`.
Outcome TestWith(const std::string& dll, const std::string& bytes, const std::vector<std::string>& more = {}) {
  test::WriteAll(kVectors, bytes);
  std::vector<std::string> arguments{"test", dll, kVectors};
  arguments.insert(arguments.end(), more.begin(), more.end());
  const Outcome outcome = Hostsim(arguments);
  DeleteFileA(kVectors.c_str());
  return outcome;
}

TEST(TestCommand, HostileFilesAreBadInputNamedWhereTheyAre) {
  std::string repeats;
  for (int k = 0; k < 6; ++k) repeats += "repeat 1000000: 1 0 0 | 1 0\n";
  const struct {
    std::string bytes, message;
  } files[] = {
      {repeats, "2:8: the rows reach 2000000 here, more than the 1000000 a vector file may run"},
      {"bits(3, (-9223372036854775807 - 1) / -1) | 1 0\n", "1:36: -9223372036854775808 / -1 is beyond 64 bits"},
      {"bits(3, " + std::string(10000, '(') + "1" + std::string(10000, ')') + ") | 1 0\n",
       "1:1: a line of 20016 characters before any #, more than the 1000 a line may have"},
      {"bits(1000000000, 5) | 1 0\n", "1:1: bits( takes a width from 1 to 3, the part's inputs, not 1000000000"},
      {"0 0 0 | 0 0\nrepeat 4 n: bits(3, 8 / (2 - n)) | X X\n", "2:23: a division by 0 (n=2)"},
  };
  for (const auto& file : files) {
    const Outcome outcome = TestWith("Quenvik.dll", file.bytes);
    EXPECT_EQ(2, outcome.status) << file.message;
    EXPECT_EQ("hostsim: " + kVectors + ":" + file.message + "\n", outcome.err);
    EXPECT_EQ("", outcome.out) << "no row runs before the whole file is read";
  }
}

// Each value the register does not take fails its settings line, named as
// `run --settings` names it; the settings it takes pass.
TEST(TestCommand, SettingsThePartDidNotTakeFailTheirLine) {
  const Outcome outcome = TestWith("Morrel.dll", "settings 17,1\n0 0 1 1 | 0\n"
                                                 "settings abc,1\n0 0 1 1 | 0\n"
                                                 "settings 8,1,5\n0 0 1 1 | 0\n"
                                                 "settings 8,1\n0 0 1 1 | 0\n");
  EXPECT_EQ(1, outcome.status) << outcome.err;
  EXPECT_EQ((std::vector<std::string>{"Schieberegister (Morrel.dll): 4 rows and 4 settings lines of " + kVectorsName,
                                      "FAILED line 1, settings \"17,1\": the part did not take 17 (value 1)",
                                      "FAILED line 3, settings \"abc,1\": the part did not take abc (value 1)",
                                      "FAILED line 5, settings \"8,1,5\": the part did not take 5 (value 3)",
                                      "5 passed, 3 failed"}),
            test::Lines(outcome.out));
}

// A saves line judges the block the part writes at its place: a new
// register's, one after settings, and a wrong or partial expectation named
// with what the part wrote; a delay line the flag it reports. After a start
// line the register begins a new run, empty.
TEST(TestCommand, SavesAndDelayLinesJudgeThePartAndStartBeginsARun) {
  const Outcome outcome = TestWith("Morrel.dll", "delay 1\n"
                                                 "saves 4,1\n"
                                                 "0 1 1 1 | 0\n"
                                                 "repeat 3: 0 C 1 1 | X\n"
                                                 "0 0 1 1 | 1\n"
                                                 "start\n"
                                                 "0 0 1 1 | 0\n"
                                                 "settings 8,0\n"
                                                 "saves 8,0\n"
                                                 "saves 4,1\n"
                                                 "saves 8\n"
                                                 "delay 1\n");
  EXPECT_EQ(1, outcome.status) << outcome.err;
  EXPECT_EQ(
      (std::vector<std::string>{
          "Schieberegister (Morrel.dll): 6 rows, 1 settings line, 4 saves lines and 2 delay lines of " + kVectorsName,
          "FAILED line 10, saves \"4,1\": the part wrote \"8,0\"",
          "FAILED line 11, saves \"8\": the part wrote \"8,0\"", "FAILED line 12, delay 1: the part reported 0",
          "10 passed, 3 failed"}),
      test::Lines(outcome.out));
}

// The rows of a repeat are cases of their own, named by n in the text and
// in the JUnit report; an input printed is cut as a quote is.
TEST(TestCommand, ARepeatsRowsAreNamedByN) {
  const std::string junit = test::Scratch("repeat.xml");
  const Outcome outcome = TestWith(
      "Quenvik.dll", "repeat 2: 1 1 0 | 1 1\n2.6" + std::string(200, '0') + "V 1 0 | 1 1\n", {"--junit", junit});
  EXPECT_EQ(1, outcome.status) << outcome.err;
  EXPECT_EQ((std::vector<std::string>{
                "Quenvik (Quenvik.dll): 3 rows of " + kVectorsName,
                "FAILED line 1 (n=0), inputs 1 1 0: expected 1 1, got 0 1",
                "FAILED line 1 (n=1), inputs 1 1 0: expected 1 1, got 0 1",
                "FAILED line 2, inputs \"2.6" + std::string(57, '0') + "…\" (204 bytes) 1 0: expected 1 1, got 0 1",
                "0 passed, 3 failed"}),
            test::Lines(outcome.out));
  const std::string xml = test::ReadAll(junit);
  EXPECT_TRUE(Contains(xml, "name=\"line 1 (n=0)\">\n      <failure")) << xml;
  EXPECT_TRUE(Contains(xml, "name=\"line 1 (n=1)\">\n      <failure")) << xml;
  DeleteFileA(junit.c_str());
}

// UTF-16 and lines ending in CR alone read as stimulus files do.
TEST(TestCommand, Utf16AndCrOnlyFilesAreRead) {
  const std::string adder =
      "# A B carry | sum carry\n0 0 0 | 0 0\nrepeat 8 n: bits(3, n) | bits(1, n ^ n >> 1 ^ n >> 2) X\n";
  std::string utf16 = "\xFF\xFE", crAlone;
  for (char c : adder) {
    if (c == '\n') utf16 += std::string("\r\0", 2);
    utf16 += std::string{c, '\0'};
    crAlone += c == '\n' ? '\r' : c;
  }
  const Outcome fromUtf16 = TestWith("Quenvik.dll", utf16), fromCr = TestWith("Quenvik.dll", crAlone);
  EXPECT_EQ(0, fromUtf16.status) << fromUtf16.err;
  EXPECT_EQ(
      (std::vector<std::string>{"Quenvik (Quenvik.dll): 9 rows of " + kVectorsName + ", read as UTF-16 little-endian",
                                "9 passed, 0 failed"}),
      test::Lines(fromUtf16.out));
  EXPECT_EQ(0, fromCr.status) << fromCr.err;
  EXPECT_EQ("9 passed, 0 failed", test::Lines(fromCr.out).back());
}

}  // namespace
