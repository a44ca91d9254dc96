// Stimulus files as users write them, and the mistakes they make.
#include <gtest/gtest.h>

#include "failure.h"
#include "shown_text.h"
#include "stimulus.h"
#include "test_text.h"
#include "utf16.h"

namespace {

using host::StimulusStep;
using test::Repeated;

// What reading `text` as the stimulus file s.stim says: the message of its
// Failure, or nothing when it gives its steps.
std::string Parsed(const std::string& text, std::vector<StimulusStep>& steps, std::string* encoding = nullptr) {
  return host::FailureOf([&] { steps = host::ParseStimulus(text, "s.stim", encoding); });
}

TEST(StimulusValue, LevelsAndVoltagesWithTheirUnit) {
  const struct {
    const char* token;
    double volts;
  } good[] = {{"0", 0.0},    {"1", 5.0},     {"2.6V", 2.6}, {"2.5v", 2.5},
              {"-1V", -1.0}, {"+3.3V", 3.3}, {".5V", 0.5},  {"5.V", 5.0}};
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
  // Plain digits, but more of them than any voltage has: infinite volts.
  double volts;
  EXPECT_FALSE(host::ParseStimulusValue("1" + std::string(309, '0') + "V", volts));
}

TEST(StimulusFile, StepsCommentsBlankLinesAndLineEnds) {
  std::vector<StimulusStep> steps;
  const std::string text = "# A B C\r\n\r\n0 1 2.6V   # comment\r\n  \t\n1\t1 0\n#1 1 1\n1 0 0";
  ASSERT_EQ("", Parsed(text, steps));
  ASSERT_EQ(3u, steps.size());
  EXPECT_EQ(3, steps[0].line);
  EXPECT_EQ((std::vector<double>{0.0, 5.0, 2.6}), steps[0].volts);
  EXPECT_EQ((std::vector<std::string>{"0", "1", "2.6V"}), steps[0].written);
  EXPECT_EQ(5, steps[1].line);
  EXPECT_EQ(7, steps[2].line) << "the last line needs no line end";
}

TEST(StimulusFile, MistakesNameTheFileAndLine) {
  std::vector<StimulusStep> steps;
  EXPECT_EQ("s.stim:2: \"2\" is neither 0, 1 nor a voltage such as 2.6V: a voltage needs its unit, 2V",
            Parsed("0 1\n0 2\n", steps));
  steps.clear();
  EXPECT_EQ("s.stim: no steps (one line of input values per step)", Parsed("# only a comment\n\n", steps));
  steps.clear();
  ASSERT_EQ("", Parsed("0 0 0\n1 1\n0 0 0 0\n", steps));
  EXPECT_EQ("s.stim:2: 2 values, but the part has 3 inputs",
            host::FailureOf([&] { host::CheckStimulusWidth(steps, "s.stim", 3); }));
  steps.erase(steps.begin() + 1);
  EXPECT_EQ("s.stim:3: 4 values, but the part has 3 inputs",
            host::FailureOf([&] { host::CheckStimulusWidth(steps, "s.stim", 3); }));
  steps.pop_back();
  EXPECT_EQ("", host::FailureOf([&] { host::CheckStimulusWidth(steps, "s.stim", 3); }));
  ASSERT_EQ("", Parsed("1\n0 0 0\n", steps));
  EXPECT_EQ("s.stim:1: 1 value, but the part has 3 inputs",
            host::FailureOf([&] { host::CheckStimulusWidth(steps, "s.stim", 3); }));
  EXPECT_EQ("s.stim:2: 3 values, but the part has 1 input",
            host::FailureOf([&] { host::CheckStimulusWidth(steps, "s.stim", 1); }));
  // Lines ending in CR alone are counted as such, a CR LF among them as one.
  EXPECT_EQ("s.stim:3: \"2\" is neither 0, 1 nor a voltage such as 2.6V: a voltage needs its unit, 2V",
            Parsed("0 1\r\r\n0 2\r", steps));
}

// The same steps as Windows editors save them: with a byte-order mark,
// and as "Unicode" in either byte order; and as old Mac editors save them,
// with lines ending in CR alone.
TEST(StimulusFile, WhatEditorsSaveReadsAsTheSameSteps) {
  const std::string text = "# A B C\r\n0 1 2.6V\r\n1 1 0\r\n";
  auto utf16 = [&](bool little, bool marked) {
    std::string bytes = marked ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
    for (char c : text) bytes += little ? std::string{c, '\0'} : std::string{'\0', c};
    return bytes;
  };
  const struct {
    std::string bytes, encoding;
  } files[] = {
      {text, ""},
      {"\xEF\xBB\xBF" + text, ""},
      {utf16(true, true), "UTF-16 little-endian"},
      {utf16(false, true), "UTF-16 big-endian"},
      {utf16(true, false), "UTF-16 little-endian without byte-order mark"},
      {"# A B C\r0 1 2.6V\r1 1 0\r", ""},
  };
  std::vector<StimulusStep> none;
  EXPECT_EQ("s.stim:1: \"x\" is neither 0, 1 nor a voltage such as 2.6V (the file read as UTF-16 big-endian)",
            Parsed(std::string("\xFE\xFF\0x", 4), none));
  for (const auto& file : files) {
    std::vector<StimulusStep> steps;
    std::string encoding = "?";
    ASSERT_EQ("", Parsed(file.bytes, steps, &encoding)) << file.encoding;
    EXPECT_EQ(file.encoding, encoding);
    ASSERT_EQ(2u, steps.size()) << file.encoding;
    EXPECT_EQ(2, steps[0].line);
    EXPECT_EQ((std::vector<double>{0.0, 5.0, 2.6}), steps[0].volts) << file.encoding;
    EXPECT_EQ((std::vector<double>{5.0, 5.0, 0.0}), steps[1].volts) << file.encoding;
  }
}

// A message shows every byte of a short value, nothing invisible; and it
// says what was meant where that is clear.
TEST(StimulusFile, MessagesShowTheValueAsItIsAndHintAtWhatWasMeant) {
  const struct {
    std::string text, error;
  } cases[] = {
      {"2,6V 0 0", "\"2,6V\" is neither 0, 1 nor a voltage such as 2.6V: the decimal separator is a point, 2.6V"},
      {"0 -0,5V 0", "\"-0,5V\" is neither 0, 1 nor a voltage such as 2.6V: the decimal separator is a point, -0.5V"},
      {"3.3 0 0", "\"3.3\" is neither 0, 1 nor a voltage such as 2.6V: a voltage needs its unit, 3.3V"},
      {"2,6 0 0", "\"2,6\" is neither 0, 1 nor a voltage such as 2.6V"},
      {std::string("0\0 0 0", 6), "\"0\\x00\" is neither 0, 1 nor a voltage such as 2.6V"},
      {"0\xC2\xA0"
       "0 0",
       "\"0\\u00A00\" is neither 0, 1 nor a voltage such as 2.6V"},
      {"\xEF\xBB\xBF\xEF\xBB\xBF"
       "0 0 0",
       "\"\\uFEFF0\" is neither 0, 1 nor a voltage such as 2.6V"},
      {"0 \xDC 0", "\"\\xDC\" is neither 0, 1 nor a voltage such as 2.6V"},
      {"\x01"
       "1 0 0",
       "\"\\x011\" is neither 0, 1 nor a voltage such as 2.6V"},
      {"0 \xC3\x9C"
       "1 0",
       "\"\xC3\x9C"
       "1\" is neither 0, 1 nor a voltage such as 2.6V"},
  };
  for (const auto& c : cases) {
    std::vector<StimulusStep> steps;
    EXPECT_EQ("s.stim:1: " + c.error, Parsed(c.text, steps));
  }
}

// A long value shows its start up to a character's end, and its length;
// the hint then leaves out the value meant, which would repeat it.
TEST(StimulusFile, ALongValueIsCutAtACharacterAndSaysItsLength) {
  const struct {
    std::string value, quoted;
  } cases[] = {
      {std::string(60, 'x'), "\"" + std::string(60, 'x') + "\""},
      {"a" + Repeated("\xC3\xBC", 100), "\"a" + Repeated("\xC3\xBC", 59) + "…\" (201 bytes)"},
      {std::string(100, '\x01'), "\"" + Repeated("\\x01", 15) + "…\" (100 bytes)"},
  };
  for (const auto& c : cases) {
    std::vector<StimulusStep> steps;
    EXPECT_EQ("s.stim:1: " + c.quoted + " is neither 0, 1 nor a voltage such as 2.6V", Parsed(c.value, steps));
  }
  std::vector<StimulusStep> steps;
  EXPECT_EQ("s.stim:2: \"2." + std::string(58, '2') +
                "…\" (5000 bytes) is neither 0, 1 nor a voltage such as 2.6V: a voltage needs its unit",
            Parsed("0 0 0\n2." + std::string(4998, '2'), steps));
}

TEST(Utf16, PairsHalvesAndBytesThatAreNone) {
  std::string encoding;
  // U+1F600 as a surrogate pair, then a high half alone, then an odd byte:
  // neither shows as a character it is not.
  EXPECT_EQ("a\xF0\x9F\x98\x80\\uD83D"
            "b\\x81",
            host::ShownUserText(host::Utf8FromUtf16(std::string("\xFF\xFE"
                                                                "a\0\x3D\xD8\x00\xDE\x3D\xD8"
                                                                "b\0"
                                                                "\x81",
                                                                13),
                                                    encoding)));
  EXPECT_EQ("UTF-16 little-endian", encoding);
  EXPECT_EQ("0 1\n", host::Utf8FromUtf16("0 1\n", encoding)) << "8-bit text passes as it is";
  EXPECT_EQ("", encoding);
  EXPECT_EQ("\xC3\x9C", host::Utf8FromUtf16(std::string("\xFE\xFF\x00\xDC", 4), encoding));
  EXPECT_EQ("UTF-16 big-endian", encoding);
}

}  // namespace
