// Test vectors as `hostsim test` reads them.
#include <gtest/gtest.h>

#include "failure.h"
#include "vectors.h"

namespace {

using host::Expected;

std::string Levels(const host::VectorRow& row) {
  std::string text;
  for (const host::VectorInput& input : row.inputs) text += input.clock ? "C" : input.volts > 2.5 ? "1" : "0";
  text += "|";
  for (Expected out : row.outputs) text += out == Expected::kAny ? "X" : out == Expected::kHigh ? "1" : "0";
  return text;
}

std::vector<host::VectorRow> Rows(const std::string& text, int inputs = 3, int outputs = 1) {
  host::VectorReader reader(text, "v.txt", inputs, outputs);
  std::vector<host::VectorRow> rows;
  for (host::VectorRow row; reader.Next(row);) rows.push_back(row);
  return rows;
}

std::vector<std::string> LevelsOf(const std::vector<host::VectorRow>& rows) {
  std::vector<std::string> levels;
  for (const host::VectorRow& row : rows) levels.push_back(Levels(row));
  return levels;
}

std::string Fault(const std::string& text, int inputs = 3, int outputs = 1) {
  return host::FailureOf([&] { Rows(text, inputs, outputs); });
}

TEST(Vectors, RepeatsCountAndBitsSpellOutColumns) {
  const std::vector<host::VectorRow> rows =
      Rows("# a comment\n"
           "C 2.6V 0 | X\n"
           "repeat 4 n: bits(2, n) 1 | bits(1, n >> 1 ^ n & 1)  # xor\n"
           "settings 8,1\n"
           "repeat 2: 1 1 0 | 1\n"
           "bits(3, 1 << 63 >> 62 | 1) | bits(1, 2 | 1)  # >> keeps the sign; an | in bits( is E's\n");
  EXPECT_EQ((std::vector<std::string>{"C10|X", "001|0", "101|1", "011|1", "111|0", "110|1", "110|1", "111|1"}),
            LevelsOf(rows));
  EXPECT_EQ(2, rows[3].n);
  EXPECT_EQ(5, rows[5].line);
  EXPECT_EQ(1, rows[6].n) << "a repeat that does not count still numbers its rows";
  EXPECT_EQ(-1, rows[7].n);
  EXPECT_TRUE(rows[5].settingsLine == 4 && rows[5].settings == "8,1");
  EXPECT_EQ(0, rows[6].settingsLine) << "settings are given once, before the next row";
}

TEST(Vectors, AFaultIsNamedByItsLineAndColumn) {
  EXPECT_EQ("v.txt:2:5: 2 inputs, but the part has 3 inputs", Fault("0 0 0 | 0\n0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:11: 2 outputs, but the part has 1 output", Fault("0 0 0 | 0 1\n"));
  EXPECT_EQ("v.txt:1:7: 5 inputs, but the part has 3 inputs", Fault("0 0 0 bits(2, 3) | 0\n"));
  EXPECT_EQ("v.txt:1:1: \"H\" is no input: 0, 1, C or a voltage such as 2.6V", Fault("H 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:9: \"2\" is no output: 0, 1 or X", Fault("0 0 0 | 2\n"));
  EXPECT_EQ("v.txt:1:3: a row needs a | between its inputs and its expected outputs", Fault("  0 0 0 0\n"));
  EXPECT_EQ("v.txt:1:19: n outside a repeat that counts", Fault("repeat 2: bits(3, n) | 0\n"));
  EXPECT_EQ("v.txt:1:1: bits( needs a width, an expression and )", Fault("bits(3 n) | 0\n"));
  EXPECT_EQ("v.txt:1:1: bits( needs a width, an expression and )", Fault("bits(3, (1 + 2) | 0\n"));
  EXPECT_EQ("v.txt:1:11: \"n\" is not part of an expression", Fault("bits(3, 1 n) | 0\n"));
  EXPECT_EQ("v.txt:1:9: a number or n is missing", Fault("bits(3, ) | 0\n"));
  EXPECT_EQ("v.txt:1:8: repeat takes a count from 1 to 1000000, not \"0\"", Fault("repeat 0: 0 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:10: repeat counts only in n: repeat N n: ROW", Fault("repeat 2 k: 0 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:13: settings takes its values as V,V... without blanks", Fault("settings 8, 1\n0 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:14: settings takes its values as V,V... without blanks", Fault("settings Ä,1 x\n0 0 0 | 0\n"))
      << "columns count characters";
  EXPECT_EQ("v.txt:2:1: settings again before a row: those of line 1 would not be given",
            Fault("settings 8,1\nsettings 4,1\n0 0 0 | 0\n"));
  EXPECT_EQ("v.txt: no rows (inputs | expected outputs)", Fault("# nothing\n"));
  // A cut quote, as every quote of the file is.
  EXPECT_EQ("v.txt:1:1: \"" + std::string(60, '2') + "…\" (900 bytes) is no input: 0, 1, C or a voltage such as 2.6V",
            Fault(std::string(900, '2') + " 0 0 | 0\n"));
}

// Whole numbers in 64 bits: every result beyond them, a division or
// remainder by 0 and a shift out of 0..63 is named at its operator, with
// the n of the row it came in.
TEST(Vectors, ArithmeticBeyondSixtyFourBitsIsNamed) {
  EXPECT_EQ((std::vector<std::string>{"011|1", "111|1"}),
            LevelsOf(Rows("bits(3, 999999999 * 999999999 / 1000000000 % 8) | 1\n"
                          "bits(3, (1 << 31) / -1 >> 31 & 7) | bits(1, (-9223372036854775807 - 1) % -1 + 1)\n")));
  EXPECT_EQ("v.txt:1:29: 9223372036854775807 + 1 is beyond 64 bits", Fault("bits(3, 9223372036854775807 + 1) | 0\n"));
  EXPECT_EQ("v.txt:1:19: 4294967296 * 4294967296 is beyond 64 bits", Fault("bits(3, (1 << 32) * (1 << 32)) | 0\n"));
  EXPECT_EQ("v.txt:1:30: -9223372036854775807 - 2 is beyond 64 bits", Fault("bits(3, -9223372036854775807 - 2) | 0\n"));
  EXPECT_EQ("v.txt:1:36: -9223372036854775808 / -1 is beyond 64 bits",
            Fault("bits(3, (-9223372036854775807 - 1) / -1) | 0\n"));
  EXPECT_EQ("v.txt:1:9: -(-9223372036854775808) is beyond 64 bits",
            Fault("bits(3, -(-9223372036854775807 - 1)) | 0\n"));
  EXPECT_EQ("v.txt:1:9: \"9223372036854775808\" is beyond 64 bits", Fault("bits(3, 9223372036854775808) | 0\n"));
  EXPECT_EQ("v.txt:1:23: a division by 0 (n=0)", Fault("repeat 2 n: bits(3, 5 / n) | 0\n"));
  EXPECT_EQ("v.txt:1:23: a division by 0 (n=3)", Fault("repeat 4 n: bits(3, 5 % (3 - n)) | 0\n"));
  EXPECT_EQ("v.txt:1:11: a shift by 64; a shift is by 0 to 63", Fault("bits(3, 1 << 64) | 0\n"));
  EXPECT_EQ("v.txt:1:11: a shift by -1; a shift is by 0 to 63", Fault("bits(3, 1 >> -1) | 0\n"));
}

// Limits that keep any file from taking the reader's time, memory or
// stack, each named with its bound.
TEST(Vectors, LimitsAreNamed) {
  auto nested = [](int depth) { return std::string(depth, '(') + "1" + std::string(depth, ')'); };
  EXPECT_EQ((std::vector<std::string>{"100|0"}), LevelsOf(Rows("bits(3, " + nested(32) + ") | 0\n")));
  EXPECT_EQ("v.txt:1:41: more than 32 parentheses, - and ~ within each other",
            Fault("bits(3, " + nested(33) + ") | 0\n"));
  EXPECT_EQ("v.txt:1:1: a line of 20014 characters before any #, more than the 1000 a line may have",
            Fault("bits(3, " + nested(10000) + ") | 0  # " + std::string(2000, '#') + "\n"));
  EXPECT_EQ("v.txt:1:41: more than 32 parentheses, - and ~ within each other",
            Fault("bits(3, " + std::string(40, '-') + "1) | 0\n"));
  EXPECT_EQ("v.txt:1:1: bits( takes a width from 1 to 3, the part's inputs, not 1000000000",
            Fault("bits(1000000000, 5) | 0\n"));
  EXPECT_EQ("v.txt:1:5: bits( takes a width from 1 to 64, not 65", Fault("0 | bits(65, 5)\n", 1, 80));
  EXPECT_EQ("v.txt:1:1: bits( takes a width from 1 to 3, the part's inputs, not 0", Fault("bits(0, 5) | 0\n"));
  // Rows are counted before any is read: the limit costs no time.
  EXPECT_EQ("v.txt:2:8: the rows reach 1000001 here, more than the 1000000 a vector file may run",
            Fault("repeat 999999: 0 0 0 | 0\nrepeat 2: 0 0 0 | 0\n"));
  EXPECT_EQ("v.txt:3:1: the rows reach 1000001 here, more than the 1000000 a vector file may run",
            Fault("repeat 999999: 0 0 0 | 0\n0 0 0 | 0\n0 0 0 | 0\n"));
  EXPECT_NO_THROW(host::VectorReader("repeat 1000000: 0 0 0 | 0\n", "v.txt", 3, 1));
  EXPECT_EQ("v.txt:1:8: repeat takes a count from 1 to 1000000, not \"1000001\"", Fault("repeat 1000001: 0 0 0 | 0\n"));
  EXPECT_EQ("v.txt: more than the 32 MB a vector file may have", Fault(std::string(host::kLargestVectorFile + 1, '#')));
}

// A repeat yields its rows one by one: the first comes before a fault of
// a later line is read, which a reader spelling it out first would not.
TEST(Vectors, ARepeatYieldsItsRowsOneByOne) {
  host::VectorReader reader("repeat 999999 n: bits(3, n) | 0\nno row\n", "v.txt", 3, 1);
  host::VectorRow row;
  ASSERT_TRUE(reader.Next(row));
  ASSERT_TRUE(reader.Next(row));
  EXPECT_EQ("100|0", Levels(row));
  EXPECT_EQ(1, row.n);
}

// UTF-16 of either byte order and lines ending in CR alone read as the
// same file in UTF-8 does, as stimulus files do.
TEST(Vectors, Utf16AndLinesEndingInCrRead) {
  const std::string text = "# A B C | S\r\nrepeat 2 n: bits(3, n + 5) | 1\r\n0 C 2.6V | X\r\n";
  const std::vector<std::string> levels = LevelsOf(Rows(text));
  ASSERT_EQ((std::vector<std::string>{"101|1", "011|1", "0C1|X"}), levels);
  std::string little = "\xFF\xFE", big, crAlone;
  for (char c : text) {
    little += std::string{c, '\0'};
    big += std::string{'\0', c};
    if (c != '\n') crAlone += c;
  }
  EXPECT_EQ(levels, LevelsOf(Rows(little)));
  EXPECT_EQ(levels, LevelsOf(Rows(big)));
  EXPECT_EQ(levels, LevelsOf(Rows(crAlone)));
  EXPECT_EQ("UTF-16 little-endian", host::VectorReader(little, "v.txt", 3, 1).Encoding());
  EXPECT_EQ("v.txt:1:5: \"2\" is no output: 0, 1 or X (the file read as UTF-16 big-endian without byte-order mark)",
            Fault(std::string("\0"
                              "0\0 \0|\0 \0"
                              "2",
                              10),
                  1, 1));
  EXPECT_EQ(2, Rows(crAlone)[1].line);
}

// A saves or delay line is a step of its own, in its place among the rows,
// and takes the settings given before it; a start line marks the next row.
TEST(Vectors, SavesAndDelayLinesAreStepsAndStartMarksTheNextRow) {
  using host::VectorStep;
  const std::vector<host::VectorRow> steps = Rows("saves 4,1\n"
                                                  "0 0 0 | 0\n"
                                                  "settings 8,0\n"
                                                  "saves 8,0  # kept\n"
                                                  "start\n"
                                                  "saves 8,0\n"
                                                  "repeat 2: 1 1 1 | 1\n"
                                                  "delay 1\n");
  ASSERT_EQ(7u, steps.size());
  EXPECT_TRUE(steps[0].step == VectorStep::kSaves && steps[0].line == 1 && steps[0].expected == "4,1" &&
              steps[0].inputs.empty());
  EXPECT_TRUE(steps[1].step == VectorStep::kRow && !steps[1].start);
  EXPECT_TRUE(steps[2].step == VectorStep::kSaves && steps[2].line == 4 && steps[2].expected == "8,0" &&
              steps[2].settingsLine == 3);
  EXPECT_EQ(0, steps[3].settingsLine) << "settings are given once, before the saves line";
  EXPECT_FALSE(steps[3].start) << "a saves line does not take the start";
  EXPECT_TRUE(steps[4].start && steps[4].line == 7);
  EXPECT_FALSE(steps[5].start) << "only the first row of a repeat starts";
  EXPECT_TRUE(steps[6].step == VectorStep::kDelay && steps[6].line == 8 && steps[6].expected == "1");
  EXPECT_EQ(1u, Rows("saves 1\n").size()) << "a file of saves lines alone judges something";
  EXPECT_EQ("v.txt:1:10: saves takes its values as V,V... without blanks", Fault("saves 4, 1\n0 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:6: saves takes its values as V,V... without blanks", Fault("saves\n0 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:7: start stands alone on its line", Fault("start 1\n0 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1:7: delay takes 0 or 1", Fault("delay 2\n"));
  EXPECT_EQ("v.txt:2:1: start without a row after it", Fault("0 0 0 | 0\nstart\nsaves 1\n"));
  EXPECT_EQ("v.txt:2:1: settings without a row, saves or delay line after them", Fault("0 0 0 | 0\nsettings 1\n"));
}

TEST(Vectors, CountingReadsTheWholeFile) {
  const host::VectorCount count = host::CountVectors(
      "settings 8,1\nrepeat 5: 0 0 0 | 0\nsettings 4,1\n1 1 1 | 1\nsaves 4,1\ndelay 1\n", "v.txt", 3, 1);
  EXPECT_EQ(6, count.rows);
  EXPECT_EQ(2, count.settings);
  EXPECT_EQ(1, count.saves);
  EXPECT_EQ(1, count.delays);
  EXPECT_EQ("v.txt:3:23: a division by 0 (n=0)", host::FailureOf([] {
              host::CountVectors("0 0 0 | 0\n\nrepeat 1 n: bits(3, 1 / n) | 0\n", "v.txt", 3, 1);
            }));
}

}  // namespace
