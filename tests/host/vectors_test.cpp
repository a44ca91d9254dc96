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

TEST(Vectors, RepeatsCountAndBitsSpellOutColumns) {
  const std::vector<host::VectorRow> rows =
      host::ParseVectors("# a comment\n"
                         "C 2.6V 0 | X\n"
                         "repeat 4 n: bits(2, n) 1 | bits(1, n >> 1 ^ n & 1)  # xor\n"
                         "settings 8,1\n"
                         "repeat 2: 1 1 0 | 1\n",
                         "v.txt", 3, 1);
  ASSERT_EQ(7u, rows.size());
  std::vector<std::string> levels;
  for (const host::VectorRow& row : rows) levels.push_back(Levels(row));
  EXPECT_EQ((std::vector<std::string>{"C10|X", "001|0", "101|1", "011|1", "111|0", "110|1", "110|1"}), levels);
  EXPECT_EQ(2, rows[3].counter);
  EXPECT_EQ(5, rows[5].line);
  EXPECT_TRUE(rows[5].giveSettings && rows[5].settings == "8,1");
  EXPECT_FALSE(rows[6].giveSettings) << "settings are given once, before the next row";
}

TEST(Vectors, AFaultIsNamedByItsLine) {
  auto fault = [](const std::string& text) {
    return host::FailureOf([&] { host::ParseVectors(text, "v.txt", 3, 1); });
  };
  EXPECT_EQ("v.txt:2: 2 inputs, but the part has 3 inputs", fault("0 0 0 | 0\n0 0 | 0\n"));
  EXPECT_EQ("v.txt:1: 2 outputs, but the part has 1 output", fault("0 0 0 | 0 1\n"));
  EXPECT_EQ("v.txt:1: \"H\" is no input: 0, 1, C or a voltage such as 2.6V", fault("H 0 0 | 0\n"));
  EXPECT_EQ("v.txt:1: \"2\" is no output: 0, 1 or X", fault("0 0 0 | 2\n"));
  EXPECT_EQ("v.txt:1: a row needs a | between its inputs and its expected outputs", fault("0 0 0 0\n"));
  EXPECT_EQ("v.txt:1: n outside a repeat that counts", fault("repeat 2: bits(3, n) | 0\n"));
  EXPECT_EQ("v.txt:1: a division by 0", fault("repeat 2 n: bits(3, 1 / n) | 0\n"));
  EXPECT_EQ("v.txt:2: settings without a row after them", fault("0 0 0 | 0\nsettings 1\n"));
  EXPECT_EQ("v.txt: no rows (inputs | expected outputs)", fault("# nothing\n"));
}

}  // namespace
