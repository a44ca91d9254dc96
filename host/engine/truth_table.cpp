#include "truth_table.h"

#include <cstring>

#include "input_codes.h"

namespace host {
namespace {

// Each input toggled this often with the others held: enough rising edges
// to push a bit through a 32-bit register or to wrap a 5-bit counter.
constexpr int kToggles = 64;

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

class Explorer {
 public:
  explicit Explorer(PartInstance& instance) : instance_(instance), inputs_(instance.Inputs()) {}

  TruthTable Run() {
    instance_.Evaluate(CodeVolts(0, inputs_, inputs_), true);
    const unsigned codes = 1u << inputs_;
    for (unsigned code = 0; code < codes; ++code)
      table_.outputs.push_back(instance_.Evaluate(CodeVolts(code, inputs_, inputs_), false));
    for (unsigned code = codes; code-- > 0 && !table_.dependsOnHistory;) {
      Observe(code);
      Observe(code);
    }
    for (int pin = 0; pin < inputs_ && !table_.dependsOnHistory; ++pin) TogglePin(pin);
    return table_;
  }

 private:
  void TogglePin(int pin) {
    const unsigned bit = 1u << pin;
    for (unsigned code = 0; code < (1u << inputs_) && !table_.dependsOnHistory; ++code) {
      if (code & bit) continue;
      for (int k = 0; k < kToggles && !table_.dependsOnHistory; ++k) Observe(k % 2 ? code | bit : code);
    }
  }

  void Observe(unsigned code) {
    std::vector<double> answer = instance_.Evaluate(CodeVolts(code, inputs_, inputs_), false);
    if (SameBits(answer, table_.outputs[code])) return;
    table_.dependsOnHistory = true;
    table_.conflictCode = code;
    table_.firstAnswer = table_.outputs[code];
    table_.laterAnswer = answer;
  }

  PartInstance& instance_;
  int inputs_;
  TruthTable table_;
};

}  // namespace

TruthTable ExploreTruthTable(PartInstance& instance) { return Explorer(instance).Run(); }

}  // namespace host
