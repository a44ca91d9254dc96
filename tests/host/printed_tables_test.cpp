// What hostsim prints: tables, legends, digits; and the settings notation.
#include <gtest/gtest.h>

#include "end_marker.h"
#include "export_table.h"
#include "pin_table.h"
#include "project.h"
#include "settings_text.h"
#include "seven_segment.h"

namespace {

TEST(PinTable, ColumnsLineUpWhateverTheNamesAndValues) {
  host::PinTable table;
  table.firstColumn = "step";
  table.inputNames = {"Summand A", "\xC3\x9C"
                                   "bertrag"};  // UTF-8 already
  table.outputNames = {"Summe S"};
  table.rows = {{"init", {"0", "2.6V"}, {"1"}}, {"10", {"1", "0"}, {"3.3V"}}};
  EXPECT_EQ("step i0   i1 |   o0\n"
            "init  0 2.6V |    1\n"
            "10    1    0 | 3.3V\n",
            table.Render());
  EXPECT_EQ("  i0  Summand A    o0  Summe S\n"
            "  i1  \xC3\x9C"
            "bertrag\n",
            table.Legend())
      << "Ü takes one column";
  table.firstColumn = "";
  for (auto& row : table.rows) row.label.clear();
  EXPECT_EQ("i0   i1 |   o0\n", table.Render().substr(0, 15));
}

TEST(PinTable, OutputsThatAreNoLevelShowTheirVoltage) {
  EXPECT_EQ("1", host::ShownOutput(5.0));
  EXPECT_EQ("0", host::ShownOutput(0.0));
  EXPECT_EQ("4.9V", host::ShownOutput(4.9));
  EXPECT_EQ("-0V", host::ShownOutput(-0.0));
  EXPECT_EQ("nanV", host::ShownOutput(__builtin_nan("")));
}

host::Segments Lit(const char* levels) {
  host::Segments segments;
  for (const char* c = levels; *c; ++c) segments.push_back(*c == '1');
  return segments;
}

// In the decoder's pin order: top, upper left, upper right, middle, lower
// left, lower right, bottom.
TEST(SevenSegment, EachSegmentInItsPlace) {
  const std::vector<std::string> one = host::DrawDigits(
      {Lit("1000000"), Lit("0100000"), Lit("0010000"), Lit("0001000"), Lit("0000100"), Lit("0000010"), Lit("0000001")},
      1);
  EXPECT_EQ((std::vector<std::string>{" _", "    |     |  _", "                |     |  _"}), one);
  EXPECT_EQ((std::vector<std::string>{" _     _", "|_|     |", "|_|     |"}),
            host::DrawDigits({Lit("1111111"), Lit("1010010")}, 3));
}

TEST(Settings, ValuesBecomeLinesOfABlockAndBack) {
  const std::string marker = test::kEndMarker;
  EXPECT_EQ("8\r\n1\r\n" + marker, host::SettingsBlock("8,1"));
  EXPECT_EQ("8,1", host::SettingsOfBlock("8\r\n1\r\n" + marker));
  EXPECT_EQ("7", host::SettingsOfBlock("7\r\n" + marker));
  EXPECT_EQ("", host::SettingsOfBlock(marker));
  EXPECT_EQ("x\\x01y", host::SettingsOfBlock("x\x01y"));
  const host::PartRequest plain = host::ParsePartRequest("Quenvik.dll");
  EXPECT_EQ("Quenvik.dll", plain.dll);
  EXPECT_EQ("", plain.settings);
  const host::PartRequest set = host::ParsePartRequest("C:\\a=b\\Morrel.dll=8,1");
  EXPECT_EQ("C:\\a=b\\Morrel.dll", set.dll);
  EXPECT_EQ("8,1", set.settings);
}

TEST(Exports, DecorationOfTheStandardCallingConvention) {
  EXPECT_EQ("SimulateDLL3", host::UndecoratedName("_SimulateDLL3@36"));
  EXPECT_EQ("HasDelayDLL", host::UndecoratedName("HasDelayDLL@4"));
  EXPECT_EQ("", host::UndecoratedName("HasDelayDLL"));
  EXPECT_EQ("", host::UndecoratedName("a@b"));
  EXPECT_EQ("", host::UndecoratedName("x@"));
}

}  // namespace
