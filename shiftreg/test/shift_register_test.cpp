#include "shift_register.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "persistence.h"
#include "pin_info.h"
#include "plugin.h"

namespace {

const std::string kMarker = "ENDE_MARKE_DER_USER_DLL\r\n";

// A width as a project gives it, the flag unchanged; whether the register
// took it.
bool SetWidth(ShiftRegister& reg, int width) {
  frame::ApplyBlock<Plugin>(
      reg, std::to_string(width) + "\r\n" + std::to_string(frame::HasDelay<Plugin>(reg)) + "\r\n" + kMarker);
  return reg.Width() == width;
}

// One evaluation's inputs: clear, clock, "Funktion", serial data.
struct Row {
  double clear, clock, function, data;
};

// Runs the rows through Evaluate and gives the output after each.
std::vector<double> Feed(ShiftRegister& reg, const std::vector<Row>& rows) {
  std::vector<double> outputs;
  for (const Row& row : rows) {
    const double in[4] = {row.clear, row.clock, row.function, row.data};
    double out[1] = {-1};
    reg.Evaluate(in, out);
    outputs.push_back(out[0]);
  }
  return outputs;
}

double Start(ShiftRegister& reg, const Row& row) {
  const double in[4] = {row.clear, row.clock, row.function, row.data};
  double out[1] = {-1};
  reg.EvaluateInitial(in, out);
  return out[0];
}

// One shift of `data`, whatever the clock was before: low, high, low.
void Shift(ShiftRegister& reg, double data) { Feed(reg, {{0, 0, 5, data}, {0, 5, 5, data}, {0, 0, 5, data}}); }

// Register bits from the input end, 1 to `count`.
std::string Bits(const ShiftRegister& reg, int count = ShiftRegister::kCapacity) {
  std::string bits;
  for (int k = 1; k <= count; ++k) bits += char('0' + reg.Bit(k));
  return bits;
}

TEST(ShiftRegister, Defaults) {
  const ShiftRegister reg;
  EXPECT_EQ(1, frame::HasDelay<Plugin>(reg));
  EXPECT_STREQ("C&LCFS", reg.InputLabels());
  EXPECT_STREQ("O", reg.OutputLabels());
  EXPECT_EQ(4, reg.Width());
  EXPECT_EQ("0000000000000000", Bits(reg));
  EXPECT_EQ("4\r\n1\r\n" + kMarker, frame::ComposeBlock<Plugin>(reg));

  unsigned char record[4102];
  std::memset(record, 0xFF, sizeof record);
  frame::FillPinInfo<ShiftRegister>(record);
  EXPECT_EQ(4, record[0]);
  EXPECT_EQ(1, record[1]);
  EXPECT_STREQ("L\xF6"
               "schen",
               reinterpret_cast<const char*>(record + 2));
  EXPECT_STREQ("Serieller Eingang", reinterpret_cast<const char*>(record + 125));
  EXPECT_STREQ("Serieller Ausgang", reinterpret_cast<const char*>(record + 2052));
  EXPECT_EQ(0xFF, record[2093]);
}

// With data held high the output rises at exactly the width-th rising edge;
// a single 1 followed by 0s shows at that edge only and then falls out.
TEST(ShiftRegister, OutputFollowsBitWidthEdgeByEdge) {
  for (int width : {1, 4, 5, 8, 16}) {
    for (bool singleOne : {false, true}) {
      ShiftRegister reg;
      ASSERT_TRUE(SetWidth(reg, width));
      EXPECT_EQ(0.0, Start(reg, {0, 0, 5, 5}));
      for (int edge = 1; edge <= width + 2; ++edge) {
        const double data = !singleOne || edge == 1 ? 5.0 : 0.0;
        const bool high = singleOne ? edge == width : edge >= width;
        const auto out = Feed(reg, {{0, 5, 5, data}, {0, 0, 5, data}});
        EXPECT_EQ(high ? 5.0 : 0.0, out[0]) << "width " << width << " edge " << edge << " single " << singleOne;
        EXPECT_EQ(out[0], out[1]) << "falling edge, width " << width;
      }
      if (width < ShiftRegister::kCapacity) {
        EXPECT_EQ(0, reg.Bit(width + 1)) << "above the width";
      }
    }
  }
}

TEST(ShiftRegister, OnlyRisingEdgesShift) {
  ShiftRegister reg;
  Start(reg, {0, 0, 5, 0});
  Shift(reg, 5);
  ASSERT_EQ("1000", Bits(reg, 4));
  // Clock held low (2.5 is low) while the data changes.
  Feed(reg, {{0, 0, 5, 5}, {0, 2.5, 5, 5}, {0, 0, 5, 0}});
  EXPECT_EQ("1000", Bits(reg, 4));
  // One rise, then the clock held high and falling.
  Feed(reg, {{0, 5, 5, 0}, {0, 5, 5, 5}, {0, 4, 5, 5}, {0, 0, 5, 5}});
  EXPECT_EQ("0100", Bits(reg, 4));
  // 2.5 -> 2.6 rises.
  Feed(reg, {{0, 2.5, 5, 5}, {0, 2.6, 5, 5}});
  EXPECT_EQ("1010", Bits(reg, 4));
}

TEST(ShiftRegister, ClearWinsOverAnEdgeAndConsumesIt) {
  ShiftRegister reg;
  Start(reg, {0, 0, 5, 5});
  for (int i = 0; i < 4; ++i) Shift(reg, 5);
  ASSERT_EQ("1111", Bits(reg, 4));
  EXPECT_EQ(std::vector<double>({0.0, 0.0}), Feed(reg, {{5, 5, 5, 5}, {0, 5, 5, 5}}));
  EXPECT_EQ("0000", Bits(reg, 4));
  Feed(reg, {{0, 0, 5, 5}, {0, 5, 5, 5}});
  EXPECT_EQ("1000", Bits(reg, 4));
}

TEST(ShiftRegister, ClearHoldsTheRegisterEmpty) {
  ShiftRegister reg;
  ASSERT_TRUE(SetWidth(reg, 1));
  Start(reg, {0, 0, 5, 5});
  Shift(reg, 5);
  ASSERT_EQ(1, reg.Bit(1));
  for (double out : Feed(reg, {{5, 0, 5, 5}, {5, 5, 5, 5}, {5, 0, 5, 5}, {5, 5, 5, 5}, {5, 5, 5, 5}})) {
    EXPECT_EQ(0.0, out);
    EXPECT_EQ(0, reg.Bit(1));
  }
}

TEST(ShiftRegister, EdgeWithFunctionLowIsLost) {
  ShiftRegister reg;
  Start(reg, {0, 0, 0, 5});
  Feed(reg, {{0, 5, 0, 5}, {0, 5, 5, 5}, {0, 5, 5, 5}});
  EXPECT_EQ("0000", Bits(reg, 4));
  Feed(reg, {{0, 0, 5, 5}, {0, 5, 5, 5}});
  EXPECT_EQ("1000", Bits(reg, 4));
}

// The initial evaluation clears, then sees an edge against the clock level
// left by the previous run (0 for a new instance).
TEST(ShiftRegister, InitialEvaluationClearsAndKeepsThePreviousClock) {
  ShiftRegister reg;
  EXPECT_EQ(0.0, Start(reg, {0, 5, 5, 5}));
  EXPECT_EQ("1000", Bits(reg, 4));

  for (int i = 0; i < 3; ++i) Shift(reg, 5);
  Feed(reg, {{0, 5, 5, 5}});  // this run ends with the clock high
  ASSERT_EQ("1111", Bits(reg, 4));
  EXPECT_EQ(0.0, Start(reg, {0, 5, 5, 5}));
  EXPECT_EQ("0000", Bits(reg, 4));

  // Only bits 1..width are cleared.
  ASSERT_TRUE(SetWidth(reg, 16));
  for (int i = 0; i < 16; ++i) Shift(reg, 5);
  ASSERT_TRUE(SetWidth(reg, 4));
  Start(reg, {0, 0, 5, 5});
  EXPECT_EQ("0000111111111111", Bits(reg));
}

TEST(ShiftRegister, ReadingSettingsLeavesTheRegisterAlone) {
  ShiftRegister reg;
  Start(reg, {0, 0, 5, 0});
  Shift(reg, 5);
  Shift(reg, 0);
  frame::ApplyBlock<Plugin>(reg, "8\r\n0\r\n" + kMarker);
  EXPECT_EQ(8, reg.Width());
  EXPECT_EQ(0, frame::HasDelay<Plugin>(reg));
  EXPECT_EQ("0100000000000000", Bits(reg));
  EXPECT_EQ("8\r\n0\r\n" + kMarker, frame::ComposeBlock<Plugin>(reg));
}

TEST(ShiftRegister, LoweredWidthMovesTheOutputToTheNewLastBit) {
  ShiftRegister reg;
  frame::ApplyBlock<Plugin>(reg, "16\r\n1\r\n" + kMarker);
  ASSERT_EQ(16, reg.Width());
  Start(reg, {0, 0, 5, 0});
  Shift(reg, 5);
  for (int i = 0; i < 3; ++i) Shift(reg, 0);
  ASSERT_EQ("0001000000000000", Bits(reg));
  EXPECT_EQ(std::vector<double>({0.0}), Feed(reg, {{0, 0, 5, 0}}));
  frame::ApplyBlock<Plugin>(reg, "4\r\n1\r\n" + kMarker);
  EXPECT_EQ(std::vector<double>({5.0, 0.0}), Feed(reg, {{0, 0, 5, 0}, {0, 5, 5, 0}}));
}

TEST(ShiftRegister, WidthsOutsideTheRegisterAreRefused) {
  for (int bad : {0, -1, 17, 999}) {
    ShiftRegister reg;
    ASSERT_TRUE(SetWidth(reg, 8));
    // Read from a project, the width is ignored but the flag still taken.
    frame::ApplyBlock<Plugin>(reg, std::to_string(bad) + "\r\n0\r\n" + kMarker);
    EXPECT_EQ(8, reg.Width()) << bad;
    EXPECT_EQ(0, frame::HasDelay<Plugin>(reg)) << bad;
    // The output still comes from bit 8.
    Start(reg, {0, 0, 5, 5});
    for (int i = 0; i < 7; ++i) Shift(reg, 5);
    EXPECT_EQ(std::vector<double>({0.0, 5.0}), Feed(reg, {{0, 0, 5, 5}, {0, 5, 5, 5}})) << bad;
  }
}

TEST(ShiftRegister, UnreadableSettingsKeepTheirValues) {
  ShiftRegister reg;
  // No width: the flag behind it is not read either.
  for (const char* text : {"x\r\n0\r\n", "\r\n", "99999999999\r\n0\r\n", "-\r\n0\r\n"}) {
    frame::ApplyBlock<Plugin>(reg, text + kMarker);
    EXPECT_EQ(4, reg.Width()) << text;
    EXPECT_EQ(1, frame::HasDelay<Plugin>(reg)) << text;
  }
  // A width, but no 0 or 1 behind it.
  for (const char* text : {"8\r\n2\r\n", "8\r\ntrue\r\n", "8\r\n"}) {
    ShiftRegister other;
    frame::ApplyBlock<Plugin>(other, text + kMarker);
    EXPECT_EQ(8, other.Width()) << text;
    EXPECT_EQ(1, frame::HasDelay<Plugin>(other)) << text;
  }
}

}  // namespace
