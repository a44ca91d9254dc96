// The dumps `run --vcd` writes, read back by a reader of the standard.
#include <gtest/gtest.h>

#include "vcd_reader.h"
#include "vcd_writer.h"

namespace {

TEST(VcdReference, BlanksAndGermanLettersByOneRule) {
  EXPECT_EQ("Summand_A", host::VcdReference("Summand A"));
  EXPECT_EQ("Uebertrag", host::VcdReference("\xDC"
                                            "bertrag"));
  EXPECT_EQ("Loeschen", host::VcdReference("L\xF6"
                                           "schen"));
  EXPECT_EQ("AeOeUe_aeoeue_ss", host::VcdReference("\xC4\xD6\xDC \xE4\xF6\xFC \xDF"));
  // Plain identifiers: no digit first, no "." or "-", one "_" per gap.
  EXPECT_EQ("_1_von_7_Segmenten", host::VcdReference("1. von 7 Segmenten"));
  EXPECT_EQ("BCD_Anzeige", host::VcdReference("BCD-Anzeige"));
  EXPECT_EQ("Summe_S", host::VcdReference("  Summe  S. "));
  EXPECT_EQ("Q_quer", host::VcdReference("Q_quer"));
  // Bytes no identifier holds: controls, DEL, other letters.
  EXPECT_EQ("a_b_c_d", host::VcdReference("a\tb\x7F"
                                          "c\xE9"
                                          "d\x80"));
  EXPECT_EQ("", host::VcdReference(". -"));
}

host::VcdRun AdderRun() {
  host::VcdRun run;
  run.partName = "Quenvik";
  run.inputNames = {"Summand A", "Summand B",
                    "\xDC"
                    "bertrag"};
  run.outputNames = {"Summe S", "\xDC"
                                "bertrag"};
  run.inputs = {{0, 0, 0}, {5, 0, 0}, {5, 0, 0}, {2.5, 2.6, 0}};
  run.outputs = {{0, 0}, {5, 0}, {5, 0}, {3.3, 0}};
  return run;
}

TEST(VcdWriter, ScopesWiresAndValuesAsAViewerReadsThem) {
  test::Vcd vcd;
  ASSERT_EQ("", test::ReadVcd(host::WriteVcd(AdderRun()), vcd));
  EXPECT_EQ("1 ns", vcd.timescale);
  ASSERT_EQ(5u, vcd.wires.size());
  const test::VcdWire* carryIn = vcd.Find("Quenvik.in", "Uebertrag");
  const test::VcdWire* carryOut = vcd.Find("Quenvik.out", "Uebertrag");
  const test::VcdWire* a = vcd.Find("Quenvik.in", "Summand_A");
  const test::VcdWire* b = vcd.Find("Quenvik.in", "Summand_B");
  const test::VcdWire* sum = vcd.Find("Quenvik.out", "Summe_S");
  ASSERT_TRUE(carryIn && carryOut && a && b && sum);
  for (const test::VcdWire& wire : vcd.wires) EXPECT_EQ(1, wire.width);
  const std::string atStart = {vcd.ValueAt(a->code, 0), vcd.ValueAt(b->code, 0), vcd.ValueAt(carryIn->code, 0),
                               vcd.ValueAt(sum->code, 0), vcd.ValueAt(carryOut->code, 0)};
  EXPECT_EQ("00000", atStart);
  EXPECT_EQ('1', vcd.ValueAt(a->code, 1));
  EXPECT_EQ('1', vcd.ValueAt(sum->code, 2));
  // Inputs as the plug-in reads them (2.5 is low), an output that is no
  // level as unknown.
  EXPECT_EQ('0', vcd.ValueAt(a->code, 3));
  EXPECT_EQ('1', vcd.ValueAt(b->code, 3));
  EXPECT_EQ('x', vcd.ValueAt(sum->code, 3));
  EXPECT_EQ(4, vcd.lastTime) << "the last evaluation lasts one time unit";
}

TEST(VcdWriter, WritesOnlyChanges) {
  const std::string text = host::WriteVcd(AdderRun());
  EXPECT_NE(std::string::npos, text.find("#0\n$dumpvars\n0!\n0\"\n0#\n0$\n0%\n$end\n#1\n1!\n1$\n#3\n"))
      << "time 2 repeats time 1 and is left out:\n"
      << text;
}

TEST(VcdWriter, EveryPinGetsAReferenceAndACodeOfItsOwn) {
  host::VcdRun run;
  run.partName = "";
  for (int k = 0; k < 50; ++k) run.inputNames.push_back(k % 2 ? "" : "Bit");
  run.outputNames = std::vector<std::string>(50, "Aus");
  run.inputs = {std::vector<double>(50, 5.0)};
  run.outputs = {std::vector<double>(50, 0.0)};
  test::Vcd vcd;
  ASSERT_EQ("", test::ReadVcd(host::WriteVcd(run), vcd)) << "codes and references are unique";
  ASSERT_EQ(100u, vcd.wires.size());
  EXPECT_TRUE(vcd.Find("part.in", "Bit"));
  EXPECT_TRUE(vcd.Find("part.in", "Bit_2"));
  EXPECT_TRUE(vcd.Find("part.in", "i1"));
  EXPECT_TRUE(vcd.Find("part.out", "Aus_49"));
  EXPECT_EQ('0', vcd.ValueAt(vcd.wires.back().code, 0));
  EXPECT_EQ(2u, vcd.wires.back().code.size()) << "the 100th wire needs a two-character code";
}

}  // namespace
