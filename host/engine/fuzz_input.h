// The fuzzer's random numbers and what it makes of them: the inputs it
// evaluates parts with and the blocks it lets them read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// SplitMix64, written out here rather than taken from <random>, whose
// distributions may give other numbers with another library: a seed
// printed with a finding must replay the same calls on every build.
class FuzzRandom {
 public:
  explicit FuzzRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // From 0 to `count` - 1; `count` above 0.
  std::uint32_t Below(std::uint32_t count);
  bool OneIn(std::uint32_t count) { return Below(count) == 0; }

 private:
  std::uint64_t state_;
};

// One 10-byte input value. Most are exactly 5.0 or 0.0, so that a part
// with a state moves through it; the rest are what a host may also hand
// over: values near and at 2.5, negative, huge and tiny ones, infinities,
// NaNs of every kind, denormals, and the encodings the x87 itself refuses
// (unnormals, pseudo-NaNs, pseudo-infinities, pseudo-denormals).
void RandomSignal(FuzzRandom& random, unsigned char* value);

// One value of each odd kind RandomSignal makes, named: for a check that
// gives a part every kind once.
struct OddSignal {
  const char* kind;  // "a signalling NaN"
  unsigned char value[10];
};
std::vector<OddSignal> OddSignals();

// How an input value is shown with a call: 5.0 and 0.0 as such, any other
// as its sign and exponent and its significand in hex, "4000:a000000000000001".
std::string ShownSignal(const unsigned char* value);

// A block for ReadFromFile, made from `valid`, a block some part wrote:
// as it is, with its numbers changed, its lines dropped or repeated, or
// settings of random bytes; then the marker, after the start of one now
// and then, or no marker at all. Bytes the block adds hold no 'E', the
// marker's first character, so that wherever `withMarker` is true the
// marker's one occurrence is the block's end: the reader must stop there
// whatever way it looks for the marker.
struct FuzzBlock {
  std::string bytes;
  bool withMarker = true;  // else the file ends with the block
  std::string kind;        // "valid", "numbers changed", ...
};
FuzzBlock RandomBlock(FuzzRandom& random, const std::string& valid);

}  // namespace host
