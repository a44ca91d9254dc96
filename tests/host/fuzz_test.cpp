// `fuzz`: what it makes its calls of, that it finds a fault planted in a
// test plug-in and replays it by its seed, and how it takes its options.
// The shipped DLLs' bounded runs are CTest tests of their own (CMakeLists).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "end_marker.h"
#include "fuzz_input.h"
#include "hostsim_process.h"
#include "plugin_interface.h"
#include "signal_encoding.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::Outcome;

// ---- the generator and what it makes

// The published first numbers of SplitMix64 from 0: a seed printed by an
// older hostsim still replays its calls.
TEST(FuzzRandom, GivesSplitMix64sNumbers) {
  host::FuzzRandom random(0);
  EXPECT_EQ(0xE220A8397B1DCDAFull, random.Next());
  EXPECT_EQ(0x6E789E6AA1B965F4ull, random.Next());
  EXPECT_EQ(0x06C45D188009454Full, random.Next());
  EXPECT_EQ(0xF88BB8A8724C81ECull, random.Next());
}

// The kinds of value the inputs are to cover, told from the 10 bytes.
std::string KindOf(const unsigned char* value) {
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, value, 8);
  std::memcpy(&signAndExponent, value + 8, 2);
  const unsigned exponent = signAndExponent & 0x7FFF;
  const bool integerBit = significand >> 63, negative = signAndExponent >> 15;
  if (std::memcmp(value, host::kFiveVolts, 10) == 0) return "5.0";
  if (std::memcmp(value, host::kZeroVolts, 10) == 0) return "0.0";
  if (exponent == 0x7FFF) {
    if (!integerBit) return significand ? "pseudo-NaN" : "pseudo-infinity";
    if (significand << 1 == 0) return "infinity";
    return significand >> 62 & 1 ? "quiet NaN" : "signalling NaN";
  }
  if (exponent == 0) return integerBit ? "pseudo-denormal" : "denormal";
  if (!integerBit) return "unnormal";
  if (negative) return "negative";
  if (exponent == 0x4000 && significand == 0xA000000000000000ull) return "2.5";
  if (exponent == 0x4000 && significand - 0xA000000000000000ull < 0x1000) return "just above 2.5";
  if (exponent == 0x4000 && 0xA000000000000000ull - significand < 0x1000) return "just below 2.5";
  return "other positive";
}

TEST(FuzzInput, SignalsCoverEveryKindOfValue) {
  host::FuzzRandom random(1);
  std::map<std::string, int> seen;
  for (int k = 0; k < 20000; ++k) {
    unsigned char value[10];
    host::RandomSignal(random, value);
    ++seen[KindOf(value)];
  }
  for (const char* kind :
       {"5.0", "0.0", "infinity", "quiet NaN", "signalling NaN", "pseudo-NaN", "pseudo-infinity", "denormal",
        "pseudo-denormal", "unnormal", "negative", "2.5", "just above 2.5", "just below 2.5", "other positive"})
    EXPECT_GT(seen[kind], 0) << kind;
  // Most are levels, so that a part's state moves.
  EXPECT_GT(seen["5.0"] + seen["0.0"], 10000);
}

// The judge takes the end of a block with the marker for where the reader
// must stop: whatever else a block holds, its marker is there and only there.
TEST(FuzzInput, ABlockHoldsTheMarkerAtItsEndOnly) {
  const std::string valid = std::string("16\r\n1\r\n") + test::kEndMarker;
  host::FuzzRandom random(2);
  std::set<std::string> kinds;
  for (int k = 0; k < 5000; ++k) {
    const host::FuzzBlock block = host::RandomBlock(random, valid);
    kinds.insert(block.kind);
    const std::size_t marker = block.bytes.find(test::kEndMarker);
    if (block.withMarker)
      ASSERT_EQ(block.bytes.size() - (sizeof test::kEndMarker - 1), marker) << block.kind;
    else
      ASSERT_EQ(std::string::npos, marker) << block.kind;
  }
  for (const char* kind :
       {"valid", "numbers changed", "lines dropped or repeated", "random bytes",
        "valid, the file ending before the marker", "random bytes, a marker begun before the marker"})
    EXPECT_TRUE(kinds.count(kind)) << kind;
}

// ---- hostsim fuzz

std::string LineStartingWith(const std::string& text, const std::string& start) {
  for (const std::string& line : test::Lines(text))
    if (line.compare(0, start.size(), start) == 0) return line;
  return "";
}

// "FINDING call 123: ..." and the finding's lines under it.
std::string FindingOf(const std::string& out) {
  const std::size_t at = out.find("FINDING ");
  return at == std::string::npos ? "" : out.substr(at, out.find("\nreplay: ", at) - at);
}

TEST(Fuzz, FindsPartsSharingASettingAndReplaysItBySeed) {
  const std::string dll = test::InTests("one_fault_shared_setting.dll");
  const Outcome found = Hostsim({"fuzz", dll, "--seed", "1", "--seconds", "60"});
  ASSERT_EQ(1, found.status) << found.out << found.err;
  EXPECT_EQ("seed 1", test::Lines(found.out).front());
  const std::string finding = FindingOf(found.out);
  EXPECT_TRUE(Contains(finding, ": ReadFromFile on part ")) << finding;
  EXPECT_TRUE(Contains(finding, "'s block changes from \"0\\x0D\\x0A")) << finding;
  const std::string replay = LineStartingWith(found.out, "replay: hostsim fuzz " + dll + " --seed 1 --calls ");
  ASSERT_NE("", replay) << found.out;
  const std::string calls = replay.substr(replay.rfind(' ') + 1);
  EXPECT_TRUE(Contains(test::Lines(found.out).back(), calls + " calls in ")) << found.out;
  EXPECT_FALSE(Contains(test::Lines(found.out).back(), "no findings")) << found.out;

  const Outcome again = Hostsim({"fuzz", dll, "--seed", "1", "--calls", calls});
  EXPECT_EQ(1, again.status);
  EXPECT_EQ(finding, FindingOf(again.out));
  const Outcome before = Hostsim({"fuzz", dll, "--seed", "1", "--calls", std::to_string(std::stol(calls) - 1)});
  EXPECT_EQ(0, before.status) << before.out;
  EXPECT_TRUE(Contains(before.out, ": no findings\n")) << before.out;
}

// Parts sharing a state show where a part and its twin, alone in a copy
// of the DLL, are given the same inputs and answer differently.
TEST(Fuzz, FindsPartsSharingAState) {
  const Outcome found = Hostsim({"fuzz", test::InTests("one_fault_shared_state.dll"), "--seed", "3"});
  EXPECT_EQ(1, found.status) << found.out << found.err;
  const std::string finding = FindingOf(found.out);
  EXPECT_TRUE(Contains(finding, ": SimulateDLL3 on part ")) << found.out;
  EXPECT_TRUE(Contains(finding, " after the same calls with no other part beside it: another part's calls changed "
                                "its state"))
      << found.out;
}

// A crash is a finding of its call; an exception let out ends the process,
// and the message still names the call.
TEST(Fuzz, NamesTheCallAPartCrashesOrThrowsIn) {
  const Outcome crash = Hostsim({"fuzz", test::InTests("one_fault_crash.dll"), "--seed", "5"});
  EXPECT_EQ(1, crash.status);
  const std::string finding = FindingOf(crash.out);
  EXPECT_TRUE(Contains(finding, ": SimulateDLL3 on part ")) << crash.out;
  EXPECT_TRUE(Contains(finding, " crashed: ")) << crash.out;

  const Outcome thrown = Hostsim({"fuzz", test::InTests("one_fault_throw.dll"), "--seed", "5"});
  EXPECT_EQ(1, thrown.status);
  const std::size_t start = std::strlen("FINDING ");
  const std::string call = finding.substr(start, finding.find(" on part ") - start);  // "call 7: SimulateDLL3"
  EXPECT_TRUE(Contains(thrown.err, "hostsim: " + call + " on part ")) << call << "\n" << thrown.err;
  EXPECT_TRUE(Contains(thrown.err, " ended the program: it let a C++ exception out or called abort\n")) << thrown.err;
}

// A shipped part under fuzz, as a user sees it: the seed chosen and said
// first, the count of calls and findings last.
TEST(Fuzz, ShippedPartRunsCleanAndSaysSo) {
  const Outcome run = Hostsim({"fuzz", "Morrel.dll", "--calls", "3000"});
  EXPECT_EQ(0, run.status) << run.out << run.err;
  const std::vector<std::string> lines = test::Lines(run.out);
  ASSERT_EQ(2u, lines.size()) << run.out;
  EXPECT_TRUE(Contains(lines[0], ", chosen from the time")) << lines[0];
  EXPECT_TRUE(Contains(lines[1], "3000 calls in ")) << lines[1];
  EXPECT_TRUE(Contains(lines[1], " per second: no findings")) << lines[1];
}

// Bad input ends the command before the seed is said, as for every command.
TEST(Fuzz, BadInputIsSaidBeforeAnything) {
  const std::string text = test::Scratch("fuzz-text.dll");
  test::WriteAll(text, "text");
  const Outcome notADll = Hostsim({"fuzz", text});
  EXPECT_EQ(2, notADll.status);
  EXPECT_EQ("hostsim: " + text + " is not a 32-bit Windows DLL: it has no header of a Windows program or DLL\n",
            notADll.err);
  EXPECT_EQ("", notADll.out);
  DeleteFileA(text.c_str());

  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--calls", "0"}, "--calls takes a whole number from 1 to 1000000000, such as 100000; \"0\" is none"},
      {{"--calls", "1e3"}, "--calls takes a whole number from 1 to 1000000000, such as 100000; \"1e3\" is none"},
      {{"--seconds", "0"}, "--seconds takes a time above 0 and up to 86400 seconds, such as 5 or 0.5; \"0\" is none"},
      {{"--seconds", "86401"},
       "--seconds takes a time above 0 and up to 86400 seconds, such as 5 or 0.5; \"86401\" is none"},
      {{"--seed", "-1"},
       "--seed takes a whole number from 0 to 18446744073709551615, as a finding names it; \"-1\" is none"},
      {{"--seed", "18446744073709551616"},
       "--seed takes a whole number from 0 to 18446744073709551615, as a finding names it; "
       "\"18446744073709551616\" is none"},
      {{"--calls", "5", "--seconds", "5"}, "--calls and --seconds each bound the run; give one of them"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> arguments = {"fuzz", "Quenvik.dll"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const Outcome run = Hostsim(arguments);
    EXPECT_EQ(2, run.status) << message;
    EXPECT_EQ("hostsim: " + message + "\n", run.err);
    EXPECT_EQ("", run.out) << message;
  }
}

}  // namespace
