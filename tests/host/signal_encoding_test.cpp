// The host's levels decided straight from the bytes, against its
// floating-point unit.
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

void Put(const Extended& x, unsigned char* value) {
  std::memcpy(value, &x.significand, 8);
  std::memcpy(value + 8, &x.signAndExponent, 2);
}

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
