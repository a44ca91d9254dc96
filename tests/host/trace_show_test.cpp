// Traces told in words: the levels from their bytes, a part's settings as
// text, and a session's calls with their instances, pins, results, state
// changes, calls that did not return and the cap's gap.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "signal_encoding.h"
#include "trace_show.h"

namespace {

std::string Level(std::uint16_t signAndExponent, std::uint64_t significand) {
  unsigned char value[10];
  std::memcpy(value, &significand, 8);
  std::memcpy(value + 8, &signAndExponent, 2);
  return host::ShownLevel(value);
}

std::string LevelOf(double volts) {
  unsigned char value[10];
  host::EncodeSignal(volts, value);
  return host::ShownLevel(value);
}

TEST(ShownLevel, VoltsFromTheBytesAndHowTheHostReadsThem) {
  EXPECT_EQ("5 V", LevelOf(5.0));
  EXPECT_EQ("0 V", LevelOf(0.0));
  EXPECT_EQ("3.3 V (high)", LevelOf(3.3));
  EXPECT_EQ("2.5 V (low)", LevelOf(2.5));
  EXPECT_EQ("-5 V (low)", LevelOf(-5.0));
  EXPECT_EQ("1e-05 V (low)", LevelOf(1e-5));
  EXPECT_EQ("+inf V (high)", Level(0x7FFF, 1ull << 63));
  EXPECT_EQ("-inf V (low)", Level(0xFFFF, 1ull << 63));
  EXPECT_EQ("NaN 7FFF:C000000000000000 (low)", Level(0x7FFF, 0xC000000000000000ull));
  // 5 V without its integer bit, which the x87 refuses to load.
  EXPECT_EQ("unnormal 4001:2000000000000000 (low)", Level(0x4001, 0x2000000000000000ull));
  EXPECT_EQ("tiny 0000:0000000000000001 (low)", Level(0x0000, 1));
  EXPECT_EQ("huge 7FFE:8000000000000000 (high)", Level(0x7FFE, 1ull << 63));
  EXPECT_EQ("1e-300 V (low)", LevelOf(1e-300));
  EXPECT_EQ("-0 V (low)", Level(0x8000, 0));
}

TEST(ShownFileText, LineEndsAndControlBytesShownAndALongBlockCut) {
  const std::string block = "8\r\n1\r\n\x07\"\\ENDE_MARKE_DER_USER_DLL\r\n";
  EXPECT_EQ("\"8\\r\\n1\\r\\n\\x07\\\"\\\\ENDE_MARKE_DER_USER_DLL\\r\\n\" (34 bytes)",
            host::ShownFileText({block.begin(), block.end()}));
  const std::string shown = host::ShownFileText(std::vector<unsigned char>(100000, 'x'));
  EXPECT_EQ("\"" + std::string(200, 'x') + "…\" (100000 bytes)", shown);
}

// A pin record's hex as the recorder writes it: the counts, then each
// name in its slot.
std::string PinsHex(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs) {
  std::vector<unsigned char> record(4102, 0);
  record[0] = static_cast<unsigned char>(inputs.size());
  record[1] = static_cast<unsigned char>(outputs.size());
  for (std::size_t k = 0; k < inputs.size(); ++k) std::memcpy(&record[2 + 41 * k], inputs[k].data(), inputs[k].size());
  for (std::size_t k = 0; k < outputs.size(); ++k)
    std::memcpy(&record[2052 + 41 * k], outputs[k].data(), outputs[k].size());
  std::string hex;
  char pair[3];
  for (unsigned char byte : record) std::snprintf(pair, sizeof pair, "%02x", byte), hex += pair;
  return hex;
}

std::string Head(const std::string& part, const std::string& started) {
  return "korvelant call trace 2\r\nrecorder 1.0.0.0\r\npart C:\\Programme\\Simulator\\" + part + "\\" + part +
         ".dll\r\npart-version 1.0.0.0\r\npart-sha256 " + std::string(64, '0') +
         "\r\nwindows 10.0\r\nsse yes\r\nprocess 1 C:\\sim.exe\r\n"
         "started " +
         started + "\r\n";
}

std::vector<std::string> Shown(const std::vector<std::pair<std::string, std::string>>& texts) {
  std::vector<host::NamedTrace> traces;
  for (const auto& [name, text] : texts) traces.push_back({name, host::ParseTrace(text, name)});
  std::vector<std::string> lines;
  host::ShowTraces(traces, [&](const std::string& line) { lines.push_back(line); });
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// A trace's records as written here, one a line, with the recorder's CR LF.
std::string Records(const std::string& lines) {
  std::string text;
  for (char c : lines) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return text;
}

TEST(ShowTraces, CallsInWordsWithInstancesPinsSettingsAndState) {
  const std::string adder = Head("Adder", "2026-01-02 10:00:00") + Records(R"(! the part is loaded at 10000000
> 1 0 GetNumberOfInputsOutputs2 depth=0 align=12 cw=037f sw=0000 slots=00000001,00000000,00000001,00000000 pins={00*4102}
< 1 0 GetNumberOfInputsOutputs2 depth=0 eax=00000000 edx=00000000 pop=16 cw=037f sw=0000 pins=)" +
                                                                           PinsHex({"A", "B"}, {"S"}) + R"(
> 2 1 InitUserDLL depth=0 align=12 cw=037f sw=0000 slots=00000001 slot={cd*4}
< 2 1 InitUserDLL depth=0 eax=00000001 edx=00000000 pop=4 cw=037f sw=0000 slot=11110000
> 3 2 InitUserDLL depth=0 align=12 cw=037f sw=0000 slots=00000001 slot={cd*4}
< 3 2 InitUserDLL depth=0 eax=00000001 edx=00000000 pop=4 cw=037f sw=0000 slot=22220000
> 4 3 SimulateDLL3 depth=0 align=12 cw=037f sw=0000 slots=00000000,00000000,00000000,00000000,00000000,00000000,00000001,00000002,00000003 slot=22220000 in={00*17}a00140{ee*10} out={ee*10}
< 4 3 SimulateDLL3 depth=0 eax=00000000 edx=00000000 pop=36 cw=027f sw=0000 slot=22220000 out={00*7}a00140
> 5 4 SetInputChar2 depth=0 align=12 cw=037b sw=0000 slots=00000001 slot=11110000
< 5 4 SetInputChar2 depth=0 eax=00a00000 edx=00000000 pop=4 cw=037b sw=0000 slot=11110000 text="AB"
> 6 5 WriteToFile depth=0 align=12 cw=037f sw=0000 slots=00000007,00000001 slot=11110000 file=0
< 6 5 WriteToFile depth=0 eax=00000001 edx=00000000 pop=8 cw=037f sw=0000 slot=11110000 file=5+300d0a0d0a
> 7 6 DisposeUserDLL depth=0 align=12 cw=037f sw=0000 slots=00000001 slot=11110000
< 7 6 DisposeUserDLL depth=0 eax=00000001 edx=00000000 pop=4 cw=037f sw=0000 slot={00*4}
> 8 7 InitUserDLL depth=0 align=12 cw=037f sw=0000 slots=00000001 slot={cd*4}
< 8 7 InitUserDLL depth=0 eax=00000001 edx=00000000 pop=4 cw=037f sw=0000 slot=11110000
> 9 8 WriteToFile depth=0 align=12 cw=037f sw=0000 slots=00000007,00000001 slot=11110000 file=0
< 9 8 WriteToFile depth=0 eax=00000001 edx=00000000 pop=8 cw=037f sw=0000 slot=11110000 file=1048676+{78*1048576}{??*100}
)");
  const std::string text = Joined(Shown({{"Adder-1.txt", adder}}));
  EXPECT_NE(std::string::npos, text.find("the recorder noted: the part is loaded at 10000000\n")) << text;
  EXPECT_NE(
      std::string::npos,
      text.find(
          "10:00:00.000  Adder GetNumberOfInputsOutputs2 (call 1): values 0, 1, 0; 2 inputs (A, B), 1 output (S)\n"))
      << text;
  EXPECT_NE(std::string::npos, text.find("Adder #1 InitUserDLL (call 2)\n")) << text;
  EXPECT_NE(std::string::npos, text.find("Adder #2 SimulateDLL3 (call 4): in A=0 V, B=5 V; out S=5 V; result 0\n"))
      << text;
  EXPECT_NE(std::string::npos, text.find("\n    the part changes the x87 control word from 0x037F to 0x027F "
                                         "(precision 64 to 53 bits)\n"))
      << text;
  EXPECT_NE(std::string::npos, text.find("\n    the host changes the x87 control word from 0x027F to 0x037B "
                                         "(precision 53 to 64 bits, exception masks 0x3F to 0x3B); exceptions "
                                         "unmasked: division by zero\n"))
      << text;
  EXPECT_NE(std::string::npos, text.find("Adder #1 SetInputChar2 (call 5): text \"AB\"\n")) << text;
  EXPECT_NE(std::string::npos, text.find("Adder #1 WriteToFile (call 6): wrote \"0\\r\\n\\r\\n\" (5 bytes) at 0\n"))
      << text;
  // The slot of the removed #1 given to the next instance placed.
  EXPECT_NE(std::string::npos, text.find("Adder #1 DisposeUserDLL (call 7)\n")) << text;
  EXPECT_NE(std::string::npos, text.find("Adder #3 InitUserDLL (call 8)\n")) << text;
  // A block past what a record holds: the bytes left out counted, not shown.
  EXPECT_NE(std::string::npos, text.find("Adder #3 WriteToFile (call 9): wrote \"" + std::string(200, 'x') +
                                         "…\" (1048676 bytes, the last 100 left out by the recorder) at 0\n"))
      << text;
}

// A capped trace as the recorder leaves it: the first part, then the
// ring's halves at their offsets, each padded with the NULs of room not
// yet written.
std::string Capped(const std::string& first, const std::string& lowHalf, const std::string& highHalf) {
  constexpr std::size_t kFirst = 2048, kHalf = 2048;
  EXPECT_LT(first.size(), kFirst);
  EXPECT_LT(lowHalf.size(), kHalf);
  return first + std::string(kFirst - first.size(), '\0') + lowHalf + std::string(kHalf - lowHalf.size(), '\0') +
         highHalf;
}

TEST(ShowTraces, ASessionInTimeWithTheCapsGapAndCallsThatDidNotReturn) {
  // Call 2's exit and calls 3 and 4 were in the ring's part 1, which part
  // 3 overwrote; the exit of call 4 is the first record part 2 kept.
  const std::string adder =
      Capped(Head("Adder", "2026-01-02 10:00:00") + "cap 2048 4096\r\n" +
                 Records(R"(> 1 0 HasDelayDLL depth=0 align=12 cw=037f sw=0000 slots=00000001 slot=11110000
< 1 0 HasDelayDLL depth=0 eax=00000001 edx=00000000 pop=4 cw=037f sw=0000 slot=11110000
> 2 100 IsUserDLL32 depth=0 align=12 cw=037f sw=0000 slots=
)"),
             Records(R"(! ring part=3
! left-out first=2 last=4 records=4
> 7 2700 IsUserDLL32 depth=0 align=12 cw=037f sw=0000 slots=
~ 7 2700 IsUserDLL32 why=unload
! left-out first=2 last=4 records=4
)"),
             Records(R"(! ring part=2
< 4 2400 EndSimulationDLL2 depth=0 eax=00000000 edx=00000000 pop=4 cw=037f sw=0000
> 5 2500 CanSimulateDLL2 depth=0 align=12 cw=037f sw=0000 slots=00000000,00000000,00000000,00000000,00000000,00000000,00000009
~ 5 2600 CanSimulateDLL2 why=next-call
> 6 2600 EndSimulationDLL2 depth=0 align=12 cw=037f sw=0000 slots=00000000
< 6 2600 EndSimulationDLL2 depth=0 eax=00000000 edx=00000000 pop=4 cw=037f sw=0000
)"));
  // A host that died in call 2.
  const std::string decoder =
      Head("Decoder", "2026-01-02 10:00:01") + Records(R"(> 1 500 IsUserDLL32 depth=0 align=12 cw=037f sw=0000 slots=
< 1 500 IsUserDLL32 depth=0 eax=00000000 edx=00000000 pop=0 cw=037f sw=0000
> 2 1800 EndSimulationDLL2 depth=0 align=12 cw=037f sw=0000 slots=00000000
)");
  const std::vector<std::string> lines = Shown({{"Adder-1.txt", adder}, {"Decoder-1.txt", decoder}});
  std::vector<std::string> calls;
  for (const std::string& line : lines)
    if (line.find(" (call ") != std::string::npos) calls.push_back(line.substr(0, line.find(" (call ")));
  EXPECT_EQ((std::vector<std::string>{"10:00:00.000  Adder #? (placed before the trace's records) HasDelayDLL",
                                      "10:00:00.100  Adder IsUserDLL32", "10:00:01.500  Decoder IsUserDLL32",
                                      "10:00:02.500  Adder CanSimulateDLL2", "10:00:02.600  Adder EndSimulationDLL2",
                                      "10:00:02.700  Adder IsUserDLL32", "10:00:02.800  Decoder EndSimulationDLL2"}),
            calls);
  const std::string text = Joined(lines);
  EXPECT_NE(std::string::npos, text.find("capped: it keeps its first 2048 bytes and a ring of 4096 bytes")) << text;
  EXPECT_EQ(std::string::npos, text.find("noted: left-out")) << text;
  EXPECT_NE(std::string::npos, text.find("HasDelayDLL (call 1): result 1\n")) << text;
  EXPECT_NE(std::string::npos, text.find("IsUserDLL32 (call 2)\n    its exit is among the records the cap left out\n"))
      << text;
  EXPECT_NE(std::string::npos, text.find("\n  ... the cap left out calls 2 to 4 (4 records)\n"
                                         "10:00:02.500  Adder CanSimulateDLL2"))
      << text;
  EXPECT_NE(std::string::npos, text.find("CanSimulateDLL2 (call 5): values 0, 0, 0, 0, 0, 0, 9\n"
                                         "    did not return: the host went on with call 6\n"))
      << text;
  EXPECT_NE(std::string::npos,
            text.find("IsUserDLL32 (call 7)\n    did not return: the recorder was unloaded while it was under way\n"))
      << text;
  EXPECT_NE(std::string::npos,
            text.find("EndSimulationDLL2 (call 2): values 0\n    did not return: the trace ends before its exit\n"))
      << text;
  EXPECT_NE(std::string::npos, text.find("\nAdder: 5 calls, 2 of them not returned, 3 calls left out by the cap"))
      << text;
  EXPECT_NE(std::string::npos, text.find("\nDecoder: 2 calls, 1 of them not returned, 0 calls left out by the cap"))
      << text;
}

}  // namespace
