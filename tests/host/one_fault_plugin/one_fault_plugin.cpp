// A plug-in that keeps the interface in every way but one, chosen when it
// is built: for the tests of what hostsim does when a part misbehaves.
//   FAULT_CRASH  SimulateDLL3 writes through a null pointer
//   FAULT_HANG   SimulateDLL3 never returns
//   FAULT_THROW  SimulateDLL3 lets a C++ exception out
//   FAULT_REFUSE DllMain says no, so the DLL never loads
//   FAULT_SMASH  SimulateDLL3 overwrites its caller's stack above its own
//                arguments, which ends the caller on its way back
//   FAULT_MUTE   WriteToFile writes nothing
//   FAULT_EXIT   SimulateDLL3 ends its process with exit status 0
//   FAULT_SHARED_SETTING  all parts share one delay flag: reading one part's
//                block sets every part's
//   FAULT_SHARED_STATE  SimulateDLL3 shows the input of the evaluation
//                before, kept once for all parts instead of once per part
//   FAULT_SHARED_COUNT  the counter below with one count for all parts
//   FAULT_CHAR_SETTING  the delay flag read as a character ('1', 49) and
//                written back as a number ("49")
//   FAULT_NO_SLOT  InitUserDLL creates the part but never fills the slot
//   FAULT_CHOP, FAULT_PRECISION24  SimulateDLL3 leaves the x87 rounding at
//                chop, or its precision at 24 bits
//   FAULT_STACK_LEFT  SimulateDLL3 leaves a value on the x87 register stack
//   FAULT_MXCSR  SimulateDLL3 turns on flush to zero and denormals are zero
//                in the MXCSR; InitSimulationDLL2 sets only an exception
//                flag there, which is no change of state
//   FAULT_X87_INPUT  compares its input with 2.5 on the x87, which raises
//                invalid operation on a signalling NaN and on the encodings
//                it does not support
//   FAULT_BIG_BLOCK  WriteToFile writes a block of 100 KB: the delay flag,
//                then text with no run of equal bytes, then the end marker
//   FAULT_LATE_CRASH  SimulateDLL3 writes through a null pointer at its
//                kLateEvaluation-th call, after a long run
//   FAULT_LATE_DEATH  SimulateDLL3 ends its process at once there, as the
//                system ends a host killed from outside: no DLL hears of it
//   FAULT_DISPOSE_CRASH  DisposeUserDLL writes through a null pointer: a
//                part that crashes on its way out, after its answers
// Otherwise a buffer: one input, one output that follows it; or, with
// FAULT_COUNTER (and FAULT_SHARED_COUNT), a part whose setting changes its
// logic: a 2-bit counter of the input's rising edges, whose output is bit 1
// of the count and whose one setting (the block's digit, in place of the
// delay flag) makes it count down.
#include <cpuid.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "../end_marker.h"
#include "../instance_slot.h"
#include "../plain_entries.h"

namespace {

#if defined(FAULT_SHARED_COUNT)
#define FAULT_COUNTER
#endif

struct Count {
  unsigned value = 0;
  bool clock = false;
};

struct Part {
  std::int32_t delay = 0;  // the counter's direction: 1 down
  Count count;
  char labels[2] = "E";
};

constexpr auto& kMarker = test::kEndMarker;

Part* PartIn(unsigned char* record) { return test::PartInSlot<Part>(record); }

#ifdef FAULT_SHARED_SETTING
std::int32_t sharedDelay = 0;
std::int32_t& DelayOf(unsigned char*) { return sharedDelay; }
#else
std::int32_t& DelayOf(unsigned char* record) { return PartIn(record)->delay; }
#endif

#if defined(FAULT_SHARED_COUNT)
Count sharedCount;
Count& CountOf(unsigned char*) { return sharedCount; }
#elif defined(FAULT_COUNTER)
Count& CountOf(unsigned char* record) { return PartIn(record)->count; }
#endif

using test::FileOf;

// 5.0 and 0.0 as the host's 10-byte values.
void PutLevel(unsigned char* value, bool high) {
  static const unsigned char kFive[10] = {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0x40};
  if (high)
    std::memcpy(value, kFive, 10);
  else
    std::memset(value, 0, 10);
}

#ifdef FAULT_X87_INPUT
bool IsHigh(const unsigned char* value) {
  long double wide;
  std::memcpy(&wide, value, 10);
  return wide > 2.5L;
}
#else
// Above 2.5, told from the bytes: a positive number with a larger
// exponent or significand than 2.5's, or +infinity; no NaN.
bool IsHigh(const unsigned char* value) {
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, value, 8);
  std::memcpy(&signAndExponent, value + 8, 2);
  if (signAndExponent >= 0x7FFF) return signAndExponent == 0x7FFF && significand == 1ull << 63;
  return signAndExponent > 0x4000 || (signAndExponent == 0x4000 && significand > 0xA000000000000000ull);
}
#endif

#ifdef FAULT_MXCSR
// Ors `bits` into the MXCSR, where the processor has one.
void SetMxcsrBits(std::uint32_t bits) {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(edx & bit_SSE)) return;
  std::uint32_t mxcsr;
  asm volatile("stmxcsr %0" : "=m"(mxcsr));
  mxcsr |= bits;
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}
#endif

#if defined(FAULT_CHOP) || defined(FAULT_PRECISION24)
void ChangeControlWord(std::uint16_t set, std::uint16_t clear) {
  std::uint16_t control;
  asm volatile("fnstcw %0" : "=m"(control));
  control = std::uint16_t((control | set) & ~clear);
  asm volatile("fldcw %0" : : "m"(control));
}
#endif

#if defined(FAULT_LATE_CRASH) || defined(FAULT_LATE_DEATH)
constexpr unsigned kLateEvaluation = 25000;
unsigned evaluations = 0;
#endif

#ifdef FAULT_COUNTER
// The counter's evaluation; the initial one starts the count at 0.
void CountEdges(unsigned char* record, const unsigned char* in, unsigned char* out, bool initial) {
  Count& count = CountOf(record);
  const bool clock = IsHigh(in);
  if (initial)
    count.value = 0;
  else if (clock && !count.clock)
    count.value += DelayOf(record) ? 3 : 1;
  count.clock = clock;
  PutLevel(out, count.value >> 1 & 1);
}
#endif

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
#ifdef FAULT_REFUSE
  return reason != DLL_PROCESS_ATTACH;
#else
  (void)reason;
  return TRUE;
#endif
}

ENTRY const char* GetDLLName() { return "Sonderfall"; }

ENTRY void InitUserDLL(unsigned char* record) {
  Part* part = new Part;
#ifdef FAULT_NO_SLOT
  (void)record;  // the part is made, but the host never learns of it
  (void)part;
#else
  test::PutInSlot(record, part);
#endif
}

ENTRY void DisposeUserDLL(unsigned char* record) {
#ifdef FAULT_DISPOSE_CRASH
  volatile std::uintptr_t nowhere = 0;
  *reinterpret_cast<volatile int*>(nowhere) = 1;
#endif
  delete PartIn(record);
  test::EmptySlot(record);
}

ENTRY void InitSimulationDLL2(std::uint32_t, std::uint32_t, std::uint32_t, unsigned char* record,
                              const unsigned char* in, unsigned char* out) {
#ifdef FAULT_MXCSR
  SetMxcsrBits(0x20);  // the inexact flag
#endif
#ifdef FAULT_COUNTER
  CountEdges(record, in, out, true);
#else
  (void)record;
  PutLevel(out, IsHigh(in));
#endif
}

ENTRY std::int32_t SimulateDLL3(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                std::uint32_t, unsigned char* record, const unsigned char* in, unsigned char* out) {
#if defined(FAULT_COUNTER)
  CountEdges(record, in, out, false);
  return 0;
#elif defined(FAULT_CRASH)
  volatile std::uintptr_t nowhere = 0;
  *reinterpret_cast<volatile int*>(nowhere) = 1;
#elif defined(FAULT_LATE_CRASH)
  volatile std::uintptr_t nowhere = 0;
  if (++evaluations == kLateEvaluation) *reinterpret_cast<volatile int*>(nowhere) = 1;
#elif defined(FAULT_LATE_DEATH)
  if (++evaluations == kLateEvaluation) TerminateProcess(GetCurrentProcess(), 9);
#elif defined(FAULT_HANG)
  for (;;) Sleep(1000);
#elif defined(FAULT_THROW)
  throw std::runtime_error("a part's own error");
#elif defined(FAULT_SMASH)
  // Above the saved frame pointer, the return address and the nine
  // arguments: the caller's own frames.
  volatile std::uint32_t* frame = static_cast<std::uint32_t*>(__builtin_frame_address(0));
  for (int slot = 11; slot < 64; ++slot) frame[slot] = 0x0BADF00D;
#elif defined(FAULT_EXIT)
  ExitProcess(0);
#elif defined(FAULT_SHARED_STATE)
  static bool previousInput = false;
  PutLevel(out, previousInput);
  previousInput = IsHigh(in);
  return 0;
#elif defined(FAULT_CHOP)
  ChangeControlWord(0x0C00, 0);
#elif defined(FAULT_PRECISION24)
  ChangeControlWord(0, 0x0300);
#elif defined(FAULT_STACK_LEFT)
  asm volatile("fld1");
#elif defined(FAULT_MXCSR)
  SetMxcsrBits(0x8040);
#endif
  (void)record;
  PutLevel(out, IsHigh(in));
  return 0;
}

ENTRY const char* SetInputChar2(unsigned char* record) { return PartIn(record)->labels; }
ENTRY const char* SetOutputChar2(unsigned char* record) { return PartIn(record)->labels; }

ENTRY void WriteToFile(std::uint32_t handle, unsigned char* record) {
#ifdef FAULT_MUTE
  return;
#endif
  char text[64];
#ifdef FAULT_CHAR_SETTING
  std::snprintf(text, sizeof text, "%d\r\n%s", int(DelayOf(record)), kMarker);
#else
  text[0] = char('0' + (DelayOf(record) != 0));
  std::strcpy(text + 1, "\r\n");
  std::strcat(text, kMarker);
#endif
  DWORD written;
#ifdef FAULT_BIG_BLOCK
  static char block[100 * 1024];
  block[0] = text[0];
  for (std::size_t k = 1; k < sizeof block - 2; ++k) block[k] = char('a' + k % 23);
  std::memcpy(block + sizeof block - 2, "\r\n", 2);  // the marker on a line of its own
  WriteFile(FileOf(handle), block, sizeof block, &written, nullptr);
  std::strcpy(text, kMarker);
#endif
  WriteFile(FileOf(handle), text, DWORD(std::strlen(text)), &written, nullptr);
}

// Stops at the first place where the last bytes read are the marker, even
// where a start of the marker comes right before it.
ENTRY void ReadFromFile(std::uint32_t handle, unsigned char* record) {
  constexpr std::size_t kLength = sizeof kMarker - 1;
  char last[kLength] = {}, byte, first = 0;
  DWORD got = 0;
  for (std::size_t read = 0; ReadFile(FileOf(handle), &byte, 1, &got, nullptr) && got == 1; ++read) {
    if (read == 0) first = byte;
    std::memmove(last, last + 1, kLength - 1);
    last[kLength - 1] = byte;
    if (std::memcmp(last, kMarker, kLength) == 0) break;
  }
#ifdef FAULT_CHAR_SETTING
  if (first == '0' || first == '1') DelayOf(record) = first;
#else
  if (first == '0' || first == '1') DelayOf(record) = first - '0';
#endif
}

ENTRY void CallParameterDialogDLL(unsigned char*, unsigned char*) {}
ENTRY std::int32_t HasDelayDLL(unsigned char* record) { return DelayOf(record); }
