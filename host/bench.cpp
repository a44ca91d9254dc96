#include "bench.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "signal_encoding.h"

namespace host {
namespace {

// The conversions in integer arithmetic, as the plug-ins do them: the x87
// path would make the baseline slower than need be, above all where the
// x87 is emulated.
// The level test is made on the double's bits, too: above 2.5 and not a NaN.
bool High(const unsigned char* inputs, int pin) {
  const std::uint64_t bits = DecodeSignalBits(inputs + pin * kSignalSize);
  return bits > 0x4004000000000000ull && bits <= 0x7FF0000000000000ull;
}
void Drive(unsigned char* outputs, int pin, bool high) {
  EncodeSignalInIntegers(high ? 5.0 : 0.0, outputs + pin * kSignalSize);
}

// Every input converted and tested, as the plug-ins convert them all.
template <int kInputs>
void ReadLevels(const unsigned char* inputs, bool (&levels)[kInputs]) {
  for (int i = 0; i < kInputs; ++i) levels[i] = High(inputs, i);
}

std::int32_t HOST_STDCALL AdderRule(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                    std::uint32_t, unsigned char*, const unsigned char* in, unsigned char* out) {
  bool level[3];
  ReadLevels(in, level);
  const int high = level[0] + level[1] + level[2];
  Drive(out, 0, high & 1);
  Drive(out, 1, high >= 2);
  return 0;
}

// Lit segments per code, in the decoder's pin order: top, upper left,
// upper right, middle, lower left, lower right, bottom.
const char* const kSegments[16] = {"1110111", "0010010", "1011101", "1011011", "0111010", "1101011",
                                   "1101111", "1010010", "1111111", "1111011", "1111110", "0101111",
                                   "1100101", "0011111", "1101101", "1101100"};

std::int32_t HOST_STDCALL DecoderRule(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                      std::uint32_t, unsigned char*, const unsigned char* in, unsigned char* out) {
  bool level[4];
  ReadLevels(in, level);
  const int code = level[0] | level[1] << 1 | level[2] << 2 | level[3] << 3;
  for (int j = 0; j < 7; ++j) Drive(out, j, kSegments[code][j] == '1');
  return 0;
}

// A 4-bit register, as a new part has it.
struct Register {
  bool bits[5] = {};
  bool clock = false;
} shiftRegister;

std::int32_t HOST_STDCALL ShiftRegisterRule(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                            std::uint32_t, std::uint32_t, unsigned char*, const unsigned char* in,
                                            unsigned char* out) {
  enum { kClear, kClock, kShift, kData };
  bool level[4];
  ReadLevels(in, level);
  Register& r = shiftRegister;
  if (level[kClear]) {
    std::fill(r.bits + 1, r.bits + 5, false);
  } else if (level[kClock] && !r.clock && level[kShift]) {
    for (int k = 4; k > 1; --k) r.bits[k] = r.bits[k - 1];
    r.bits[1] = level[kData];
  }
  r.clock = level[kClock];
  Drive(out, 0, r.bits[4]);
  return 0;
}

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart) / double(frequency.QuadPart);
}

// ns per evaluation of `evaluations` calls cycling through the inputs.
double TimeRound(SimulateDLL3Fn evaluate, unsigned char* record, const std::vector<std::vector<unsigned char>>& inputs,
                 long evaluations) {
  unsigned char out[kMaxPins * kSignalSize];
  const double start = Seconds();
  for (long k = 0; k < evaluations; ++k)
    evaluate(0, 0, 0, 0, 0, 0, record, inputs[std::size_t(k) % inputs.size()].data(), out);
  return (Seconds() - start) * 1e9 / double(evaluations);
}

}  // namespace

SimulateDLL3Fn InlineBaseline(const std::string& displayName) {
  if (displayName == "Quenvik") return AdderRule;
  if (displayName == "BCD-Anzeige") return DecoderRule;
  if (displayName == "Schieberegister") return ShiftRegisterRule;
  return nullptr;
}

BenchFigures TimeEvaluations(SimulateDLL3Fn plugin, SimulateDLL3Fn baseline, unsigned char* record, int inputs,
                             long evaluations) {
  std::vector<std::vector<unsigned char>> arrays;
  const int bits = std::min(inputs, 8);
  for (unsigned code = 0; code < (1u << bits); ++code) {
    arrays.emplace_back(kMaxPins * kSignalSize, 0);
    for (int i = 0; i < inputs; ++i) EncodeSignal(code >> (i % std::max(bits, 1)) & 1 ? 5.0 : 0.0, arrays.back().data() + i * kSignalSize);
  }
  // Through a volatile pointer, so that the baseline is a real call too.
  SimulateDLL3Fn volatile viaPointer = baseline;
  BenchFigures best{1e300, 1e300};
  for (int round = 0; round < 5; ++round) {
    best.exportNs = std::min(best.exportNs, TimeRound(plugin, record, arrays, evaluations));
    if (baseline) best.baselineNs = std::min(best.baselineNs, TimeRound(viaPointer, nullptr, arrays, evaluations));
  }
  if (!baseline) best.baselineNs = 0;
  return best;
}

}  // namespace host
