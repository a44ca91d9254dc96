// The floating-point state a plug-in must leave as it found it, which the
// host relies on after every call: the x87 control word (exception masks,
// precision, rounding), the x87 register stack (its top in the status
// word, its tag word: a value left on it) and, where the processor has
// SSE, the MXCSR's control fields. The fault guard reads it before and
// after each call into a plug-in and puts the host's back after a change.
#pragma once

#include <cstdint>
#include <string>

namespace host {

// The MXCSR bits that are state: denormals are zero (6), the exception
// masks (7-12), the rounding (13-14) and flush to zero (15). Bits 0-5 are
// sticky exception flags, status that a part compiled for SSE sets with
// any inexact conversion, and no host reads them back.
constexpr std::uint32_t kMxcsrControlBits = 0xFFC0;

struct FloatingState {
  // As fnstenv stores it in 32-bit protected mode: the control, status and
  // tag words, then the last instruction's and operand's addresses.
  std::uint32_t environment[7] = {};
  bool withMxcsr = false;
  std::uint32_t mxcsr = 0;

  std::uint16_t ControlWord() const { return std::uint16_t(environment[0]); }
  std::uint16_t StatusWord() const { return std::uint16_t(environment[1]); }
  std::uint16_t TagWord() const { return std::uint16_t(environment[2]); }
  unsigned StackTop() const { return StatusWord() >> 11 & 7u; }
};

// CPUID says so: only then does the MXCSR exist (the host itself is built
// for processors without SSE).
bool ProcessorHasSse();

// The state as it is; the x87 exception masks stay as they are.
FloatingState ReadFloatingState();

// Puts `state` back whole: exception flags pending now are cleared first,
// so that none traps on the way.
void PutFloatingState(const FloatingState& state);

// Loads `controlWord` with the exception flags cleared and gives back what
// the processor kept of it (a real x87 reads its reserved bit 6 as 1).
std::uint16_t LoadControlWord(std::uint16_t controlWord);

// What a call changed of the state that counts, in words that follow its
// name: "changes the x87 control word from 0x037F to 0x0F7F (rounding
// nearest to chop)"; changes of more than one part joined by "; ". Empty
// where nothing that counts changed.
std::string FloatingStateChange(const FloatingState& before, const FloatingState& after);

// The x87 exceptions `statusWord` shows raised that `controlWord` leaves
// unmasked, those that trap where the x87 is not emulated: "invalid
// operation, division by zero"; empty where none.
std::string UnmaskedExceptionsRaised(std::uint16_t statusWord, std::uint16_t controlWord);

}  // namespace host
