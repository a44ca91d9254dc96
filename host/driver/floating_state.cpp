#include "floating_state.h"

#include <cpuid.h>

#include <vector>

#include "words.h"

namespace host {
namespace {

constexpr std::uint16_t kX87ExceptionBits = 0x3F;

const char* const kExceptionNames[] = {"invalid operation", "denormal operand", "division by zero",
                                       "overflow",          "underflow",        "inexact result"};

// The rounding field, the same two bits in the control word and the MXCSR.
const char* const kRoundings[] = {"nearest", "down", "up", "chop"};

unsigned Field(std::uint32_t word, int shift, std::uint32_t mask) { return word >> shift & mask; }

std::string OnOff(std::uint32_t word, std::uint32_t bit) { return word & bit ? "on" : "off"; }

// The x87 precision field: 24, 53 or 64 bits of significand; 1 is reserved.
std::string Precision(std::uint16_t controlWord) {
  static const char* const kBits[] = {"24", "(reserved)", "53", "64"};
  return kBits[Field(controlWord, 8, 3)];
}

std::string ControlWordChange(std::uint16_t before, std::uint16_t after) {
  if (before == after) return {};
  std::vector<std::string> fields;
  if (Field(before, 10, 3) != Field(after, 10, 3))
    fields.push_back(std::string("rounding ") + kRoundings[Field(before, 10, 3)] + " to " +
                     kRoundings[Field(after, 10, 3)]);
  if (Field(before, 8, 3) != Field(after, 8, 3))
    fields.push_back("precision " + Precision(before) + " to " + Precision(after) + " bits");
  if ((before ^ after) & kX87ExceptionBits)
    fields.push_back("exception masks " + HexNumber(before & kX87ExceptionBits, 2) + " to " +
                     HexNumber(after & kX87ExceptionBits, 2));
  if ((before ^ after) & ~0xF3Fu) fields.push_back("other bits");
  return "changes the x87 control word from " + HexNumber(before, 4) + " to " + HexNumber(after, 4) + " (" +
         Joined(fields, ", ") + ")";
}

int EmptyRegisters(std::uint16_t tagWord) {
  int empty = 0;
  for (int r = 0; r < 8; ++r) empty += (tagWord >> 2 * r & 3) == 3;
  return empty;
}

std::string StackChange(const FloatingState& before, const FloatingState& after) {
  if (before.StackTop() == after.StackTop() && before.TagWord() == after.TagWord()) return {};
  const int left = EmptyRegisters(before.TagWord()) - EmptyRegisters(after.TagWord());
  const std::string values = std::to_string(left > 0 ? left : -left) + (left == 1 || left == -1 ? " value" : " values");
  return "changes the x87 register stack: top " + std::to_string(before.StackTop()) + " to " +
         std::to_string(after.StackTop()) + ", tag word " + HexNumber(before.TagWord(), 4) + " to " +
         HexNumber(after.TagWord(), 4) +
         (left > 0   ? " (" + values + " left on it)"
          : left < 0 ? " (" + values + " taken off it)"
                     : "");
}

std::string MxcsrChange(const FloatingState& before, const FloatingState& after) {
  if (!before.withMxcsr || !after.withMxcsr || !((before.mxcsr ^ after.mxcsr) & kMxcsrControlBits)) return {};
  const std::uint32_t b = before.mxcsr, a = after.mxcsr;
  std::vector<std::string> fields;
  if (Field(b, 13, 3) != Field(a, 13, 3))
    fields.push_back(std::string("rounding ") + kRoundings[Field(b, 13, 3)] + " to " + kRoundings[Field(a, 13, 3)]);
  if ((b ^ a) & 0x8000) fields.push_back("flush to zero " + OnOff(b, 0x8000) + " to " + OnOff(a, 0x8000));
  if ((b ^ a) & 0x40) fields.push_back("denormals are zero " + OnOff(b, 0x40) + " to " + OnOff(a, 0x40));
  if ((b ^ a) & 0x1F80)
    fields.push_back("exception masks " + HexNumber(Field(b, 7, 0x3F), 2) + " to " + HexNumber(Field(a, 7, 0x3F), 2));
  return "changes the MXCSR from " + HexNumber(b, 8) + " to " + HexNumber(a, 8) + " (" + Joined(fields, ", ") + ")";
}

}  // namespace

bool ProcessorHasSse() {
  static const bool has = [] {
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE);
  }();
  return has;
}

FloatingState ReadFloatingState() {
  FloatingState state;
  asm volatile("fnstenv %0" : "=m"(state.environment));
  // fnstenv masks every x87 exception after storing the environment.
  const std::uint16_t controlWord = state.ControlWord();
  asm volatile("fldcw %0" : : "m"(controlWord));
  state.withMxcsr = ProcessorHasSse();
  if (state.withMxcsr) asm volatile("stmxcsr %0" : "=m"(state.mxcsr));
  return state;
}

void PutFloatingState(const FloatingState& state) {
  asm volatile("fnclex\n\tfldenv %0" : : "m"(state.environment));
  if (state.withMxcsr) asm volatile("ldmxcsr %0" : : "m"(state.mxcsr));
}

std::uint16_t LoadControlWord(std::uint16_t controlWord) {
  std::uint16_t kept;
  asm volatile("fnclex\n\tfldcw %1\n\tfnstcw %0" : "=m"(kept) : "m"(controlWord));
  return kept;
}

std::string FloatingStateChange(const FloatingState& before, const FloatingState& after) {
  std::string text;
  for (const std::string& change : {ControlWordChange(before.ControlWord(), after.ControlWord()),
                                    StackChange(before, after), MxcsrChange(before, after)})
    if (!change.empty()) text += (text.empty() ? "" : "; ") + change;
  return text;
}

std::string UnmaskedExceptionsRaised(std::uint16_t statusWord, std::uint16_t controlWord) {
  std::vector<std::string> raised;
  for (int bit = 0; bit < 6; ++bit)
    if (statusWord & ~controlWord & (1u << bit)) raised.push_back(kExceptionNames[bit]);
  return Joined(raised, ", ");
}

}  // namespace host
