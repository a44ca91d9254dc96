// Quenvik through its DLL: every value a host can observe, bit for bit.
#include <windows.h>

#include "plugin_fixture.h"

namespace {

using test::kHigh;
using test::kLow;
using test::MakeSignal;
using test::Signal;
using test::SignalArray;

class FullAdderDll : public test::PluginTest {
 protected:
  void SetUp() override { Load("Quenvik.dll"); }

  // Sum and carry for three input values, by SimulateDLL3 (and by the
  // initial evaluation, which must agree).
  std::pair<bool, bool> Add(const Signal& a, const Signal& b, const Signal& c) {
    Instance instance(library);
    SignalArray in, initial, out;
    in.Set(0, a);
    in.Set(1, b);
    in.Set(2, c);
    instance.Initial(in, initial);
    EXPECT_EQ(0, instance.Simulate(in, out));
    for (int j = 0; j < 2; ++j) {
      EXPECT_TRUE(out.Is(j, kHigh) || out.Is(j, kLow)) << "output " << j << " is 5.0 or 0.0 to the bit";
      EXPECT_EQ(0, std::memcmp(out.bytes + 10 * j, initial.bytes + 10 * j, 10)) << "initial agrees";
    }
    return {out.Is(0, kHigh), out.Is(1, kHigh)};
  }
};

TEST_F(FullAdderDll, PinsAndLabels) {
  std::vector<unsigned char> pins(host::kPinInfoSize, 0xFF);
  library.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0);
  // A table, laid out to be read: where each name starts in the pin record.
  // clang-format off
  const struct {
    std::size_t at;
    const char* name;
  } names[] = {
      {2,    "Summand A"},
      {43,   "Summand B"},
      {84,   "\xDC" "bertrag"},
      {2052, "Summe S"},
      {2093, "\xDC" "bertrag"},
  };
  // clang-format on
  std::vector<bool> written(pins.size(), false);
  written[0] = written[1] = true;
  EXPECT_EQ(3, pins[0]);
  EXPECT_EQ(2, pins[1]);
  for (const auto& n : names) {
    EXPECT_EQ(0, std::memcmp(&pins[n.at], n.name, strlen(n.name) + 1)) << n.name;
    for (std::size_t k = 0; k <= strlen(n.name); ++k) written[n.at + k] = true;
  }
  // Bytes 0-11, 43-52, 84-92, 2052-2059 and 2093-2101, nothing else.
  int count = 0;
  for (std::size_t b = 0; b < pins.size(); ++b) {
    if (written[b]) {
      ++count;
    } else {
      ASSERT_EQ(0xFF, pins[b]) << b;
    }
  }
  EXPECT_EQ(12 + 10 + 9 + 8 + 9, count);

  Instance instance(library);
  EXPECT_STREQ("AB\xDC", library.SetInputChar2(instance.Record()));
  EXPECT_STREQ("S\xDC", library.SetOutputChar2(instance.Record()));
  EXPECT_EQ(0, library.HasDelayDLL(instance.Record()));
}

TEST_F(FullAdderDll, TruthTableInEveryOrder) {
  for (int code = 0; code < 8; ++code) {
    const int count = (code & 1) + (code >> 1 & 1) + (code >> 2 & 1);
    const auto [sum, carry] = Add(code & 1 ? kHigh : kLow, code & 2 ? kHigh : kLow, code & 4 ? kHigh : kLow);
    EXPECT_EQ(count % 2 == 1, sum) << code;
    EXPECT_EQ(count >= 2, carry) << code;
  }
}

TEST_F(FullAdderDll, ThresholdIsStrictlyAboveTwoAndAHalfOnTheRoundedDouble) {
  const Signal twoAndAHalf = test::Volts(2.5);
  const Signal justAbove = test::Volts(2.5000001);
  // Above 2.5 only in extended precision: it rounds to 2.5.
  const Signal roundsDown = MakeSignal(0xA000000000000001ull, 0x4000);
  // 2.5 + 2^-52 + 2^-62: rounds up to the next double above 2.5.
  const Signal roundsUp = MakeSignal(0xA000000000000401ull, 0x4000);
  const Signal nan = MakeSignal(0xC000000000000000ull, 0x7FFF);
  const Signal negative = test::Volts(-5.0);

  EXPECT_EQ(std::make_pair(false, false), Add(twoAndAHalf, twoAndAHalf, twoAndAHalf));
  EXPECT_EQ(std::make_pair(true, false), Add(justAbove, kLow, kLow));
  EXPECT_EQ(std::make_pair(false, false), Add(roundsDown, kLow, kLow));
  EXPECT_EQ(std::make_pair(true, false), Add(roundsUp, kLow, kLow));
  EXPECT_EQ(std::make_pair(false, true), Add(test::Volts(2.6), test::Volts(2.6), kLow));
  EXPECT_EQ(std::make_pair(true, false), Add(nan, negative, kHigh));
  EXPECT_EQ(std::make_pair(true, false), Add(MakeSignal(0x8000000000000000ull, 0x7FFF), kLow, kLow)) << "+infinity";
  EXPECT_EQ(std::make_pair(false, false), Add(MakeSignal(0x8000000000000000ull, 0xFFFF), kLow, kLow)) << "-infinity";
  EXPECT_EQ(std::make_pair(true, false), Add(MakeSignal(0xFFFFFFFFFFFFFFFFull, 0x73E6), kLow, kLow)) << "1e4000";
  EXPECT_EQ(std::make_pair(false, false), Add(MakeSignal(0x4000000000000000ull, 0x4001), kLow, kLow)) << "unnormal";
}

// The DLL's own build of the conversions and the level test, held against
// the host's level straight from the bytes (itself held against the x87):
// random encodings of every kind, others around 2.5's rounding midpoint and
// at the exponents where the inline conversion hands over to the full one.
TEST_F(FullAdderDll, LevelsOfRandomEncodingsAreThoseOfTheRoundedDouble) {
  const unsigned edges[] = {0, 1, 16383 - 1023, 16383 - 1022, 16383 + 1023, 16383 + 1024, 0x7FFE, 0x7FFF};
  std::uint64_t state = 0x853C49E6748FEA9Bull;
  auto next = [&state] { return state ^= state << 13, state ^= state >> 7, state ^= state << 17; };
  auto encoding = [&](int k) {
    const std::uint64_t bits = next();
    if (k % 3 == 0) return MakeSignal(bits, unsigned(bits >> 48));
    if (k % 3 == 1) return MakeSignal(0xA000000000000400ull + (bits >> 59) - 16, 0x3FFF + unsigned(bits >> 30 & 3));
    return MakeSignal(bits, (bits >> 63 ? 0x8000 : 0) | edges[(bits >> 40) % 8]);
  };
  for (int k = 0; k < 30000; ++k) {
    const Signal a = encoding(k), b = encoding(k + 1), c = encoding(k + 2);
    const int high = host::SignalIsHigh(a.bytes) + host::SignalIsHigh(b.bytes) + host::SignalIsHigh(c.bytes);
    ASSERT_EQ(std::make_pair(high % 2 == 1, high >= 2), Add(a, b, c)) << k;
  }
}

TEST_F(FullAdderDll, InstancesAreIndependentAndOutputsStable) {
  Instance first(library), second(library);
  SignalArray in, out1, out2;
  in.Set(0, kHigh);
  in.Set(1, kHigh);
  in.Set(2, kLow);
  first.Initial(in, out1);
  second.Simulate(in, out2);
  EXPECT_TRUE(out1.Is(0, kLow) && out1.Is(1, kHigh));
  EXPECT_EQ(0, std::memcmp(out1.bytes, out2.bytes, sizeof out1.bytes));
}

}  // namespace
