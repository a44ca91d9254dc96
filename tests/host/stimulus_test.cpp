// Stimulus files as users write them, and the mistakes they make.
#include <gtest/gtest.h>

#include "stimulus.h"

namespace {

using host::ParseStimulus;
using host::StimulusStep;

TEST(StimulusValue, LevelsAndVoltagesWithTheirUnit) {
  const struct {
    const char* token;
    double volts;
  } good[] = {{"0", 0.0}, {"1", 5.0}, {"2.6V", 2.6}, {"2.5v", 2.5}, {"-1V", -1.0}, {"+3.3V", 3.3}, {".5V", 0.5},
              {"5.V", 5.0}};
  for (const auto& g : good) {
    double volts = -99;
    EXPECT_TRUE(host::ParseStimulusValue(g.token, volts)) << g.token;
    EXPECT_EQ(g.volts, volts) << g.token;
  }
  // A bare 2.6 could be a level or a voltage: the unit decides, so it is
  // refused; so are other numbers' spellings that could hide a typo.
  for (const char* bad : {"2", "2.6", "10", "x", "V", "-V", "1e3V", "nanV", "infV", "0x1V", "1..2V", "1V1", "01"}) {
    double volts;
    EXPECT_FALSE(host::ParseStimulusValue(bad, volts)) << bad;
  }
}

TEST(StimulusFile, StepsCommentsBlankLinesAndLineEnds) {
  std::vector<StimulusStep> steps;
  const std::string text = "# A B C\r\n\r\n0 1 2.6V   # comment\r\n  \t\n1\t1 0\n#1 1 1\n1 0 0";
  ASSERT_EQ("", ParseStimulus(text, "s.stim", steps));
  ASSERT_EQ(3u, steps.size());
  EXPECT_EQ(3, steps[0].line);
  EXPECT_EQ((std::vector<double>{0.0, 5.0, 2.6}), steps[0].volts);
  EXPECT_EQ((std::vector<std::string>{"0", "1", "2.6V"}), steps[0].written);
  EXPECT_EQ(5, steps[1].line);
  EXPECT_EQ(7, steps[2].line) << "the last line needs no line end";
}

TEST(StimulusFile, MistakesNameTheFileAndLine) {
  std::vector<StimulusStep> steps;
  EXPECT_EQ("s.stim:2: \"2\" is neither 0, 1 nor a voltage such as 2.6V", ParseStimulus("0 1\n0 2\n", "s.stim", steps));
  steps.clear();
  EXPECT_EQ("s.stim: no steps (one line of input values per step)", ParseStimulus("# only a comment\n\n", "s.stim", steps));
  steps.clear();
  ASSERT_EQ("", ParseStimulus("0 0 0\n1 1\n0 0 0 0\n", "s.stim", steps));
  EXPECT_EQ("s.stim:2: 2 values, but the part has 3 inputs", host::CheckStimulusWidth(steps, "s.stim", 3));
  steps.erase(steps.begin() + 1);
  EXPECT_EQ("s.stim:3: 4 values, but the part has 3 inputs", host::CheckStimulusWidth(steps, "s.stim", 3));
  steps.pop_back();
  EXPECT_EQ("", host::CheckStimulusWidth(steps, "s.stim", 3));
}

}  // namespace
