#include "bench.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "signal_encoding.h"

namespace host {
namespace {

// The input arrays an evaluation cycles through, back to back: every code
// of the first (up to 8) inputs at 5.0 and 0.0, the further inputs
// repeating the code's bits.
class Stimuli {
 public:
  explicit Stimuli(int inputs) {
    const int bits = std::min(inputs, 8);
    const std::uint32_t codes = 1u << bits;
    mask_ = long(codes) - 1;
    bytes_.assign(codes * kArraySize, 0);
    for (std::uint32_t code = 0; code < codes; ++code)
      for (int i = 0; i < inputs; ++i)
        EncodeSignal(code >> (i % std::max(bits, 1)) & 1 ? 5.0 : 0.0, &bytes_[code * kArraySize + i * kSignalSize]);
  }
  const unsigned char* At(long k) const { return bytes_.data() + std::size_t(k & mask_) * kArraySize; }

 private:
  static constexpr std::size_t kArraySize = kMaxPins * kSignalSize;
  std::vector<unsigned char> bytes_;
  long mask_ = 0;
};

// The least work of each part: its rule on levels decided straight from the
// input bytes, each output copied from a ready pattern. What a part keeps
// between evaluations the rule object keeps.
const unsigned char* Pin(const unsigned char* values, int pin) { return values + pin * kSignalSize; }
unsigned char* Pin(unsigned char* values, int pin) { return values + pin * kSignalSize; }

struct AdderWork {
  void operator()(const unsigned char* in, unsigned char* out) {
    const int high = SignalIsHigh(Pin(in, 0)) + SignalIsHigh(Pin(in, 1)) + SignalIsHigh(Pin(in, 2));
    PutLevel(high & 1, Pin(out, 0));
    PutLevel(high >= 2, Pin(out, 1));
  }
};

// Lit segments per code, bit j for output j: top, upper left, upper right,
// middle, lower left, lower right, bottom.
constexpr unsigned char kSegments[16] = {0x77, 0x24, 0x5D, 0x6D, 0x2E, 0x6B, 0x7B, 0x25,
                                         0x7F, 0x6F, 0x3F, 0x7A, 0x53, 0x7C, 0x5B, 0x1B};

struct DecoderWork {
  void operator()(const unsigned char* in, unsigned char* out) {
    const int code = SignalIsHigh(Pin(in, 0)) | SignalIsHigh(Pin(in, 1)) << 1 | SignalIsHigh(Pin(in, 2)) << 2 |
                     SignalIsHigh(Pin(in, 3)) << 3;
    for (int j = 0; j < 7; ++j) PutLevel(kSegments[code] >> j & 1, Pin(out, j));
  }
};

// A 4-bit register, as a new part has it; bit 0 at the input end.
struct ShiftRegisterWork {
  unsigned bits = 0;
  bool clock = false;
  void operator()(const unsigned char* in, unsigned char* out) {
    const bool clear = SignalIsHigh(Pin(in, 0)), clockHigh = SignalIsHigh(Pin(in, 1)), shift = SignalIsHigh(Pin(in, 2)),
               data = SignalIsHigh(Pin(in, 3));
    if (clear)
      bits = 0;
    else if (clockHigh && !clock && shift)
      bits = (bits << 1 | data) & 0xF;
    clock = clockHigh;
    PutLevel(bits >> 3 & 1, Pin(out, 0));
  }
};

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart) / double(frequency.QuadPart);
}

double NsPerEvaluation(double start, long evaluations) { return (Seconds() - start) * 1e9 / double(evaluations); }

double TimeCalls(SimulateDLL3Fn evaluate, unsigned char* record, const Stimuli& stimuli, long evaluations) {
  unsigned char out[kMaxPins * kSignalSize];
  const double start = Seconds();
  for (long k = 0; k < evaluations; ++k) evaluate(0, 0, 0, 0, 0, 0, record, stimuli.At(k), out);
  return NsPerEvaluation(start, evaluations);
}

template <class Work>
double TimeLeastWork(const Stimuli& stimuli, long evaluations) {
  Work work;
  unsigned char out[kMaxPins * kSignalSize];
  const double start = Seconds();
  for (long k = 0; k < evaluations; ++k) {
    work(stimuli.At(k), out);
    // As after a call: the outputs are stored and the state is in memory,
    // so nothing is kept in registers or left out from one to the next.
    asm volatile("" : : "r"(out), "r"(&work) : "memory");
  }
  return NsPerEvaluation(start, evaluations);
}

using LeastWorkTimer = double (*)(const Stimuli&, long);

LeastWorkTimer LeastWorkTimerFor(const std::string& displayName) {
  if (displayName == "Quenvik") return TimeLeastWork<AdderWork>;
  if (displayName == "BCD-Anzeige") return TimeLeastWork<DecoderWork>;
  if (displayName == "Schieberegister") return TimeLeastWork<ShiftRegisterWork>;
  return nullptr;
}

}  // namespace

bool HasLeastWork(const std::string& displayName) { return LeastWorkTimerFor(displayName) != nullptr; }

BenchFigures TimeEvaluations(const std::string& displayName, SimulateDLL3Fn plugin, SimulateDLL3Fn emptyExport,
                             unsigned char* record, int inputs, long evaluations) {
  const Stimuli stimuli(inputs);
  const LeastWorkTimer leastWork = LeastWorkTimerFor(displayName);
  BenchFigures best{1e300, 1e300, leastWork ? 1e300 : 0};
  for (int round = 0; round < kBenchRounds; ++round) {
    best.exportNs = std::min(best.exportNs, TimeCalls(plugin, record, stimuli, evaluations));
    best.emptyCallNs = std::min(best.emptyCallNs, TimeCalls(emptyExport, record, stimuli, evaluations));
    if (leastWork) best.leastWorkNs = std::min(best.leastWorkNs, leastWork(stimuli, evaluations));
  }
  return best;
}

}  // namespace host
