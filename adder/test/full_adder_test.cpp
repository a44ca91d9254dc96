#include "full_adder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "persistence.h"
#include "plugin.h"

namespace {

TEST(FullAdder, SumAndCarryForEveryCombination) {
  const FullAdder adder;
  for (int code = 0; code < 8; ++code) {
    const double in[3] = {code & 1 ? 5.0 : 0.0, code & 2 ? 5.0 : 0.0, code & 4 ? 5.0 : 0.0};
    const int count = (code & 1) + ((code >> 1) & 1) + ((code >> 2) & 1);
    double out[2] = {-1, -1}, initial[2] = {-1, -1};
    adder.Evaluate(in, out);
    adder.EvaluateInitial(in, initial);
    EXPECT_EQ(count % 2 ? 5.0 : 0.0, out[0]) << code;
    EXPECT_EQ(count >= 2 ? 5.0 : 0.0, out[1]) << code;
    EXPECT_EQ(out[0], initial[0]);
    EXPECT_EQ(out[1], initial[1]);
  }
}

TEST(FullAdder, ThresholdAndOddValues) {
  const FullAdder adder;
  double out[2];
  const double atThreshold[3] = {2.5, 2.5, 2.5};
  adder.Evaluate(atThreshold, out);
  EXPECT_EQ(0.0, out[0]);
  EXPECT_EQ(0.0, out[1]);
  const double twoHigh[3] = {2.6, 2.6, 0.0};
  adder.Evaluate(twoHigh, out);
  EXPECT_EQ(0.0, out[0]);
  EXPECT_EQ(5.0, out[1]);
  const double withNaN[3] = {NAN, 5.0, -INFINITY};
  adder.Evaluate(withNaN, out);
  EXPECT_EQ(5.0, out[0]);
  EXPECT_EQ(0.0, out[1]);
}

TEST(FullAdder, DefaultsAndLabels) {
  const FullAdder adder;
  EXPECT_STREQ("AB\xDC", adder.InputLabels());
  EXPECT_STREQ("S\xDC", adder.OutputLabels());
  EXPECT_EQ(0, frame::HasDelay<Plugin>(adder));
  EXPECT_EQ("0\r\nENDE_MARKE_DER_USER_DLL\r\n", frame::ComposeBlock<Plugin>(adder));
}

TEST(FullAdder, SettingsAreReadAsStoredAndKeptOnGarbage) {
  FullAdder adder;
  frame::ApplyBlock<Plugin>(adder, "7\r\nENDE_MARKE_DER_USER_DLL\r\n");
  EXPECT_EQ(7, frame::HasDelay<Plugin>(adder));
  EXPECT_EQ("7\r\nENDE_MARKE_DER_USER_DLL\r\n", frame::ComposeBlock<Plugin>(adder));
  frame::ApplyBlock<Plugin>(adder, "abc\r\nENDE_MARKE_DER_USER_DLL\r\n");
  EXPECT_EQ(7, frame::HasDelay<Plugin>(adder));
  frame::ApplyBlock<Plugin>(adder, "ENDE_MARKE_DER_USER_DLL\r\n");
  EXPECT_EQ(7, frame::HasDelay<Plugin>(adder));
  frame::ApplyBlock<Plugin>(adder, "1\r\nENDE_MARKE_DER_USER_DLL\r\n");
  EXPECT_EQ(1, frame::HasDelay<Plugin>(adder));
}

}  // namespace
