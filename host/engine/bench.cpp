#include "bench.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "bench_rules.h"
#include "input_codes.h"
#include "paths.h"
#include "signal_encoding.h"
#include "truth_table.h"

namespace host {
namespace {

constexpr std::size_t kArraySize = kMaxPins * kSignalSize;

// The input arrays an evaluation cycles through, back to back: every code
// of the first (up to 8) inputs at 5.0 and 0.0.
class Stimuli {
 public:
  explicit Stimuli(int inputs) {
    const int bits = std::min(inputs, 8);
    const std::uint32_t codes = 1u << bits;
    mask_ = long(codes) - 1;
    bytes_.assign(codes * kArraySize, 0);
    for (std::uint32_t code = 0; code < codes; ++code)
      for (int i = 0; i < inputs; ++i)
        EncodeSignal(CodeBit(code, i, bits) ? 5.0 : 0.0, &bytes_[code * kArraySize + i * kSignalSize]);
  }
  const unsigned char* At(long k) const { return bytes_.data() + std::size_t(k & mask_) * kArraySize; }

 private:
  std::vector<unsigned char> bytes_;
  long mask_ = 0;
};

// The code the levels of the first `inputs` inputs make, decided straight
// from their bytes.
unsigned LevelCode(const unsigned char* in, int inputs) {
  unsigned code = 0;
  for (int i = 0; i < inputs; ++i) code |= unsigned(SignalIsHigh(in + i * kSignalSize)) << i;
  return code;
}

// A part whose outputs follow from its inputs alone: each code's outputs,
// as the DLL gave them, copied out value by value. The input count is a
// constant, as it is in the part, so that the levels are read unrolled.
template <int kInputs>
struct TableWork {
  int outputs = 0;
  std::vector<unsigned char> patterns;  // by code, every output's 10 bytes
  void operator()(const unsigned char* in, unsigned char* out) {
    unsigned code = 0;
    for (int i = 0; i < kInputs; ++i) code |= unsigned(SignalIsHigh(in + i * kSignalSize)) << i;
    const unsigned char* row = &patterns[code * std::size_t(outputs) * kSignalSize];
    for (int j = 0; j < outputs; ++j) std::memcpy(out + j * kSignalSize, row + j * kSignalSize, kSignalSize);
  }
};

// A part with state but no rule here: its levels read and its outputs
// written from ready patterns, with nothing of what it keeps.
struct LevelsWork {
  int inputs = 0, outputs = 0;
  void operator()(const unsigned char* in, unsigned char* out) {
    const unsigned code = LevelCode(in, inputs);
    for (int j = 0; j < outputs; ++j) PutLevel(code >> (j % std::max(inputs, 1)) & 1, out + j * kSignalSize);
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
  unsigned char out[kArraySize];
  const double start = Seconds();
  for (long k = 0; k < evaluations; ++k) CallSimulate(evaluate, record, stimuli.At(k), out);
  return NsPerEvaluation(start, evaluations);
}

template <class Work>
double TimeLeastWork(Work work, const Stimuli& stimuli, long evaluations) {
  unsigned char out[kArraySize];
  const double start = Seconds();
  for (long k = 0; k < evaluations; ++k) {
    work(stimuli.At(k), out);
    // As after a call: the outputs are stored and the state is in memory,
    // so nothing is kept in registers or left out from one to the next.
    asm volatile("" : : "r"(out), "r"(&work) : "memory");
  }
  return NsPerEvaluation(start, evaluations);
}

using LeastWorkTimer = std::function<double(const Stimuli&, long)>;

// The rules of bench_rules/, by the name of their DLL.
LeastWorkTimer RuleOf([[maybe_unused]] const std::string& dll) {  // unused where no part has a rule
#define HOST_BENCH_RULE(name)                                        \
  if (_stricmp(FileName(dll).c_str(), #name ".dll") == 0)            \
    return [](const Stimuli& stimuli, long evaluations) {            \
      return TimeLeastWork(name##BenchRule(), stimuli, evaluations); \
    };
  HOST_BENCH_RULES(HOST_BENCH_RULE)
#undef HOST_BENCH_RULE
  return nullptr;
}

// A table of what a part gives for each code of its inputs, read from
// the DLL through a part of its own; empty for a part with state.
std::vector<unsigned char> OutputTable(const PluginLibrary& library) {
  PartInstance probe(library);
  if (probe.Inputs() > kMaxTruthTableInputs) return {};
  const TruthTable truth = ExploreTruthTable(probe);
  if (truth.dependsOnHistory) return {};
  std::vector<unsigned char> patterns;
  for (const std::vector<double>& outputs : truth.outputs)
    for (double volts : outputs) {
      unsigned char value[kSignalSize];
      EncodeSignal(volts, value);
      patterns.insert(patterns.end(), value, value + kSignalSize);
    }
  return patterns;
}

template <int kInputs>
LeastWorkTimer TableTimer(int inputs, int outputs, std::vector<unsigned char>& patterns) {
  if (inputs != kInputs) {
    if constexpr (kInputs < kMaxTruthTableInputs) return TableTimer<kInputs + 1>(inputs, outputs, patterns);
    return nullptr;
  }
  const TableWork<kInputs> work{outputs, std::move(patterns)};
  return [work](const Stimuli& stimuli, long evaluations) { return TimeLeastWork(work, stimuli, evaluations); };
}

LeastWorkTimer LeastWorkOf(const std::string& dll, PartInstance& instance, std::string& description) {
  if (LeastWorkTimer rule = RuleOf(dll)) {
    description = "levels from the bytes, outputs from ready patterns, the rule";
    return rule;
  }
  const int inputs = instance.Inputs(), outputs = instance.Outputs();
  std::vector<unsigned char> patterns = OutputTable(instance.Library());
  if (!patterns.empty()) {
    description = "levels from the bytes, outputs from a table read from the DLL";
    return TableTimer<1>(inputs, outputs, patterns);
  }
  description = "levels from the bytes, outputs from ready patterns; it has state, and no rule for it";
  return [inputs, outputs](const Stimuli& stimuli, long evaluations) {
    return TimeLeastWork(LevelsWork{inputs, outputs}, stimuli, evaluations);
  };
}

}  // namespace

BenchFigures TimeEvaluations(const std::string& dll, PartInstance& instance, SimulateDLL3Fn emptyExport,
                             long evaluations) {
  const Stimuli stimuli(instance.Inputs());
  BenchFigures best{1e300, 1e300, 1e300, ""};
  const LeastWorkTimer leastWork = LeastWorkOf(dll, instance, best.leastWork);
  unsigned char* record = instance.Record();
  for (int round = 0; round < kBenchRounds; ++round) {
    // One guarded call for the whole batch, which a guard per call would
    // slow down; not held to a call's time limit, as a batch may take long.
    instance.Library().Call(
        HOST_LISTED(SimulateDLL3),
        [&] {
          best.exportNs =
              std::min(best.exportNs, TimeCalls(instance.Library().SimulateDLL3, record, stimuli, evaluations));
        },
        false);
    best.emptyCallNs = std::min(best.emptyCallNs, TimeCalls(emptyExport, record, stimuli, evaluations));
    best.leastWorkNs = std::min(best.leastWorkNs, leastWork(stimuli, evaluations));
  }
  return best;
}

}  // namespace host
