// The host's integer conversions against its floating-point unit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "signal_encoding.h"

namespace {

struct Extended {
  std::uint64_t significand;
  std::uint16_t signAndExponent;
};

std::uint64_t BitsOf(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, 8);
  return bits;
}

void Put(const Extended& x, unsigned char* value) {
  std::memcpy(value, &x.significand, 8);
  std::memcpy(value + 8, &x.signAndExponent, 2);
}

// Rounding at every place it can happen: exact, below, at and above half of
// the last kept bit, with an even and an odd kept bit; at the edges of the
// double range; infinities and NaNs.
TEST(IntegerConversion, DecodesAsTheFloatingPointUnitDoes) {
  const std::uint64_t kOne = 1ull << 63;
  const Extended cases[] = {
      {0, 0},
      {0, 0x8000},
      {kOne, 0x3FFF},
      {0xA000000000000000ull, 0x4001},  // 0, -0, 1, 5
      {kOne | 0x3FF, 0x3FFF},
      {kOne | 0x400, 0x3FFF},
      {kOne | 0xC00, 0x3FFF},  // below half, tie to even ×2
      {kOne | 0x401, 0x3FFF},
      {0xFFFFFFFFFFFFFFFFull, 0x3FFF},  // above half, carry to 2
      {kOne | 0x800, 0xC000},
      {0xA000000000000001ull, 0x4000},  // negative, just above 2.5
      {0xFFFFFFFFFFFFFC00ull, 0x43FE},
      {0xFFFFFFFFFFFFF800ull, 0x43FE},  // to infinity / to DBL_MAX
      {kOne, 0x43FF},
      {kOne, 0x3C01},
      {kOne, 0x3C00},
      {kOne, 0x3BCD},  // overflow, smallest normal, subnormals
      {kOne, 0x3BCC},
      {kOne, 0x3BCB},
      {0xC000000000000000ull, 0x3BCB},  // half the smallest subnormal, tie, above
      {0xFFFFFFFFFFFFFFFFull, 0x3C00},
      {1, 0},
      {kOne, 0},  // rounds up to normal, ext denormals
      {kOne, 0x7FFF},
      {kOne, 0xFFFF},
      {0xC000000000000000ull, 0x7FFF},  // ±infinity, quiet NaN
      {0x8000000000001234ull << 11 | kOne, 0x7FFF},
      {0xC123456789ABCDEFull, 0xFFFF},  // signalling NaN, payload
  };
  for (const Extended& x : cases) {
    unsigned char value[10];
    Put(x, value);
    EXPECT_EQ(BitsOf(host::DecodeSignal(value)), host::DecodeSignalBits(value))
        << std::hex << x.signAndExponent << " " << x.significand;
    EXPECT_EQ(BitsOf(host::DecodeSignal(value)), BitsOf(host::DecodeSignalInIntegers(value)));
  }
}

TEST(IntegerConversion, DecodesRandomEncodingsAsTheFloatingPointUnitDoes) {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  int compared = 0;
  for (int k = 0; k < 20000; ++k) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    // Exponents around the double range, where the rounding happens.
    Extended x{state | 1ull << 63, std::uint16_t((state >> 7 & 0x8000) | (0x3BC0 + (state >> 40) % 0x880))};
    unsigned char value[10];
    Put(x, value);
    ASSERT_EQ(BitsOf(host::DecodeSignal(value)), host::DecodeSignalBits(value))
        << std::hex << x.signAndExponent << " " << x.significand;
    ++compared;
  }
  EXPECT_EQ(20000, compared);
}

// Encodings the FPU refuses become its default NaN, whatever the sign.
TEST(IntegerConversion, RefusedEncodingsGiveTheDefaultNaN) {
  for (const Extended& x :
       {Extended{0x4000000000000000ull, 0x4001}, Extended{0x4000000000000000ull, 0x7FFF}, Extended{0, 0x7FFF}}) {
    unsigned char value[10];
    Put(x, value);
    EXPECT_EQ(0xFFF8000000000000ull, host::DecodeSignalBits(value));
  }
}

TEST(IntegerConversion, EncodesAsTheFloatingPointUnitDoes) {
  const double values[] = {0.0,
                           -0.0,
                           5.0,
                           2.5,
                           -1.5,
                           1e300,
                           -1e-300,
                           4.9406564584124654e-324,
                           2.2250738585072009e-308,
                           1.0 / 0.0,
                           -1.0 / 0.0,
                           __builtin_nan("")};
  for (double v : values) {
    unsigned char viaFpu[10], viaIntegers[10];
    host::EncodeSignal(v, viaFpu);
    host::EncodeSignalInIntegers(v, viaIntegers);
    EXPECT_EQ(0, std::memcmp(viaFpu, viaIntegers, 10)) << v;
  }
}

// The level the FPU's double gives: stored, so rounded to a double, before
// the comparison.
bool LevelViaFpu(const unsigned char* value) {
  volatile double rounded = host::DecodeSignal(value);
  return rounded > 2.5;
}

// Straight from the bytes as through the rounded double: around 2.5 and
// its rounding midpoint, at every exponent's edge, and on random encodings
// of every kind (refused ones, NaNs and denormals included).
TEST(LevelFromBytes, AgreesWithTheRoundedDouble) {
  const std::uint64_t kMidpoint = 0xA000000000000400ull;  // 2.5 + 2^-52
  std::vector<Extended> cases;
  for (std::uint64_t m : {kMidpoint - 1, kMidpoint, kMidpoint + 1, 0xA000000000000000ull, 0xA000000000000800ull,
                          1ull << 63, 0xFFFFFFFFFFFFFFFFull, 0x7FFFFFFFFFFFFFFFull, 0ull, 1ull})
    for (std::uint16_t e : {0x0000, 0x0001, 0x3FFF, 0x4000, 0x4001, 0x7FFE, 0x7FFF})
      for (std::uint16_t sign : {0x0000, 0x8000}) cases.push_back({m, std::uint16_t(sign | e)});
  std::uint64_t state = 0x2545F4914F6CDD1Dull;
  for (int k = 0; k < 100000; ++k) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    const std::uint16_t e = k % 2 ? std::uint16_t(state >> 48) : std::uint16_t(0x3FFE + (state >> 48) % 4);
    cases.push_back({k % 3 ? state : (state & 0x1F) - 16 + kMidpoint, e});
  }
  for (const Extended& x : cases) {
    unsigned char value[10];
    Put(x, value);
    ASSERT_EQ(LevelViaFpu(value), host::SignalIsHigh(value)) << std::hex << x.signAndExponent << " " << x.significand;
  }
}

TEST(LevelFromBytes, ReadyPatternsAreTheEncodedLevels) {
  unsigned char viaFpu[10], put[10];
  for (bool high : {false, true}) {
    host::EncodeSignal(high ? 5.0 : 0.0, viaFpu);
    std::memset(put, 0x55, sizeof put);
    host::PutLevel(high, put);
    EXPECT_EQ(0, std::memcmp(viaFpu, put, 10)) << high;
  }
}

}  // namespace
