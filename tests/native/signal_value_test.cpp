// Conversions between the host's 10-byte values and doubles, held against
// the x87 unit of this machine (long double is the same 80-bit format on
// x86-64 Linux) and against the byte patterns the host uses.
#include "signal_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

struct Ext {
  unsigned char bytes[10];
};

Ext MakeExt(std::uint64_t significand, unsigned signAndExponent) {
  Ext e;
  std::memcpy(e.bytes, &significand, 8);
  e.bytes[8] = signAndExponent & 0xFF;
  e.bytes[9] = signAndExponent >> 8;
  return e;
}

double Read(const Ext& e) {
  double d;
  frame::ReadSignalValue(e.bytes, &d);
  return d;
}

std::uint64_t Bits(double d) {
  std::uint64_t b;
  std::memcpy(&b, &d, 8);
  return b;
}

double FromBits(std::uint64_t b) {
  double d;
  std::memcpy(&d, &b, 8);
  return d;
}

// What the floating-point unit makes of the pattern.
double HardwareRead(const Ext& e) {
  long double x = 0;
  std::memcpy(&x, e.bytes, 10);
  return static_cast<double>(x);
}

int Level(const Ext& e) { return frame::LogicLevel(Read(e)); }

// Both ways of reading, the inline one and the one for any encoding, give
// the unit's double bit for bit, NaNs included.
void ExpectReadAsTheUnitDoes(const Ext& e) {
  std::uint64_t significand;
  std::memcpy(&significand, e.bytes, 8);
  const std::uint64_t unit = Bits(HardwareRead(e));
  const std::uint64_t any = frame::ReadAnySignalValue(e.bytes);
  ASSERT_EQ(unit, Bits(Read(e))) << std::hex << "exp " << (e.bytes[9] << 8 | e.bytes[8]) << " sig " << significand;
  ASSERT_EQ(unit, any) << std::hex << "exp " << (e.bytes[9] << 8 | e.bytes[8]) << " sig " << significand;
}

// Both ways of writing give the unit's 10 bytes.
void ExpectWrittenAsTheUnitDoes(double d) {
  const long double wide = d;
  unsigned char inline_[10], any[10];
  std::memset(inline_, 0x55, sizeof inline_);
  std::memset(any, 0xAA, sizeof any);
  frame::WriteSignalValue(d, inline_);
  frame::WriteAnySignalValue(Bits(d), any);
  ASSERT_EQ(0, std::memcmp(inline_, &wide, 10)) << std::hex << Bits(d);
  ASSERT_EQ(0, std::memcmp(any, &wide, 10)) << std::hex << Bits(d);
}

TEST(SignalValue, ZeroAndFiveHaveTheHostsBytePatterns) {
  const unsigned char five[10] = {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0x40};
  const unsigned char zero[10] = {};
  unsigned char out[10];
  std::memset(out, 0x55, sizeof out);
  frame::WriteSignalValue(5.0, out);
  EXPECT_EQ(0, std::memcmp(out, five, 10));
  frame::WriteSignalValue(0.0, out);
  EXPECT_EQ(0, std::memcmp(out, zero, 10));

  double d;
  frame::ReadSignalValue(five, &d);
  EXPECT_EQ(5.0, d);
  frame::ReadSignalValue(zero, &d);
  EXPECT_EQ(0u, Bits(d));
}

TEST(SignalValue, ThresholdIsDecidedOnTheRoundedDouble) {
  EXPECT_EQ(0, frame::LogicLevel(2.5));
  EXPECT_EQ(1, frame::LogicLevel(2.5000001));
  EXPECT_EQ(1, frame::LogicLevel(std::nextafter(2.5, 3.0)));
  EXPECT_EQ(0, frame::LogicLevel(-5.0));
  EXPECT_EQ(0, frame::LogicLevel(-0.0));
  EXPECT_EQ(1, frame::LogicLevel(5.0));

  // Above 2.5 in extended precision, but it rounds to 2.5.
  EXPECT_EQ(0, Level(MakeExt(0xA000000000000001ull, 0x4000)));
  EXPECT_EQ(2.5, Read(MakeExt(0xA000000000000001ull, 0x4000)));
  // 2.5 + 2^-52 + 2^-62: past the half-way point, rounds up.
  const Ext upward = MakeExt(0xA000000000000000ull | (1ull << 10) | 1ull, 0x4000);
  EXPECT_EQ(std::nextafter(2.5, 3.0), Read(upward));
  EXPECT_EQ(1, Level(upward));
  // Exactly half-way between 2.5 and the next double: ties to even (2.5).
  EXPECT_EQ(0, Level(MakeExt(0xA000000000000000ull | (1ull << 10), 0x4000)));
}

TEST(SignalValue, SpecialEncodingsGiveTheirLevelByTheRule) {
  struct Case {
    const char* what;
    Ext value;
    int level;
  } cases[] = {
      {"quiet NaN", MakeExt(0xC000000000000000ull, 0x7FFF), 0},
      {"signalling NaN", MakeExt(0x8000000000000001ull, 0x7FFF), 0},
      {"negative NaN", MakeExt(0xC000000000000000ull, 0xFFFF), 0},
      {"+infinity", MakeExt(0x8000000000000000ull, 0x7FFF), 1},
      {"-infinity", MakeExt(0x8000000000000000ull, 0xFFFF), 0},
      {"1e4000", MakeExt(0xFFFFFFFFFFFFFFFFull, 16383 + 13287), 1},
      {"-1e4000", MakeExt(0xFFFFFFFFFFFFFFFFull, 0x8000 | (16383 + 13287)), 0},
      {"largest extended", MakeExt(0xFFFFFFFFFFFFFFFFull, 0x7FFE), 1},
      {"denormal", MakeExt(0x0000000000000001ull, 0x0000), 0},
      {"pseudo-denormal", MakeExt(0x8000000000000000ull, 0x0000), 0},
      {"unnormal", MakeExt(0x4000000000000000ull, 0x4001), 0},
      {"pseudo-NaN", MakeExt(0x4000000000000000ull, 0x7FFF), 0},
      {"pseudo-infinity", MakeExt(0x0000000000000000ull, 0x7FFF), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.level, Level(c.value)) << c.what;

  EXPECT_TRUE(std::isnan(Read(MakeExt(0x4000000000000000ull, 0x4001))));
  EXPECT_TRUE(std::isnan(Read(MakeExt(0x0000000000000000ull, 0x7FFF))));
  EXPECT_EQ(HUGE_VAL, Read(MakeExt(0xFFFFFFFFFFFFFFFFull, 16383 + 13287)));
}

// Every valid encoding converts exactly as the floating-point unit does it.
TEST(SignalValue, MatchesTheFloatingPointUnitOnValidEncodings) {
  std::mt19937_64 random(20261207);
  auto check = [](const Ext& e) { ExpectReadAsTheUnitDoes(e); };
  for (int i = 0; i < 200000; ++i) {
    std::uint64_t significand = random() | (1ull << 63);
    // Exponents around the double range's edges, where rounding is hardest.
    static const int centres[] = {16383, 16383 - 1022, 16383 - 1074, 16383 + 1023, 16383 - 1050};
    int exponent = centres[i % 5] + int(random() % 41) - 20;
    if (i % 7 == 0) significand &= ~0x7FFull, significand |= (random() & 1) << 10;  // exact ties
    unsigned sign = (i & 1) ? 0x8000 : 0;
    check(MakeExt(significand, sign | unsigned(exponent)));
  }
  for (unsigned exponent : {0u, 1u, 0x7FFEu}) check(MakeExt(random() | (1ull << 63), exponent));
}

TEST(SignalValue, DoublesWidenExactly) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 100000; ++i) {
    std::uint64_t bits = random();
    if (i % 4 == 0) bits &= 0x800FFFFFFFFFFFFFull;  // denormals
    if (i % 4 == 1) bits |= 0x7FF0000000000000ull;  // infinities and NaNs, signalling ones among them
    const double d = FromBits(bits);
    ExpectWrittenAsTheUnitDoes(d);
    unsigned char mine[10];
    frame::WriteSignalValue(d, mine);
    double back;
    frame::ReadSignalValue(mine, &back);
    const std::uint64_t quieted = std::isnan(d) ? 1ull << 51 : 0;
    ASSERT_EQ(bits | quieted, Bits(back));
  }
}

// Every kind of encoding, as the host may pass it: random 80-bit patterns,
// and random significands (integer bit set or clear) at the exponents where
// the inline conversion hands over to the full one, each with the rounding
// edges of its last kept bit.
TEST(SignalValue, MatchesTheFloatingPointUnitOnEveryEncoding) {
  std::mt19937_64 random(19870113);
  for (int i = 0; i < 200000; ++i) ExpectReadAsTheUnitDoes(MakeExt(random(), unsigned(random() & 0xFFFF)));
  const unsigned edges[] = {0,      1,     frame::kLowestNormalExponent - 1, frame::kLowestNormalExponent,
                            16383,  16384, frame::kHighestNormalExponent,    frame::kHighestNormalExponent + 1,
                            0x7FFE, 0x7FFF};
  const std::uint64_t tails[] = {0x000, 0x3FF, 0x400, 0x401, 0x7FF, 0xC00};
  for (int i = 0; i < 120000; ++i) {
    std::uint64_t significand = random();
    if (i % 3 == 0) significand = (significand & ~0x7FFull) | tails[random() % 6];
    if (i % 5 == 0) significand |= ~0x7FFull;  // a carry through every kept bit
    const unsigned sign = (i & 1) ? 0x8000 : 0;
    ExpectReadAsTheUnitDoes(MakeExt(significand, sign | edges[i % 10]));
  }
}

// The outputs' own doubles, written inline, and their neighbours, which
// must not be taken for them.
TEST(SignalValue, WritesLevelsAndTheirNeighboursAsTheFloatingPointUnitDoes) {
  for (double d : {5.0, 0.0, -0.0, -5.0, 2.5, std::nextafter(5.0, 0.0), std::nextafter(5.0, 6.0),
                   std::nextafter(0.0, 1.0), std::nextafter(0.0, -1.0), HUGE_VAL, -HUGE_VAL})
    ExpectWrittenAsTheUnitDoes(d);
  for (int level : {0, 1}) {
    double d;
    std::memset(&d, 0x55, sizeof d);
    frame::SetLevelVoltage(d, level);
    EXPECT_EQ(level ? 5.0 : 0.0, d);
    EXPECT_EQ(level ? 0x4014000000000000ull : 0ull, Bits(d));
    EXPECT_EQ(level, frame::LogicLevel(d));
  }
}

}  // namespace
