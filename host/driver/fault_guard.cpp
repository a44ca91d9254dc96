#include "fault_guard.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "floating_state.h"

namespace host {
namespace {

// One guarded call at a time, on the host's one thread.
struct GuardState {
  void* jump[5];
  volatile bool armed = false;
  volatile bool timed = true;
  volatile DWORD startedAt = 0;
  const char* volatile call = "";
  void* handlers = nullptr;
  Fault fault;
  // The floating-point state the call found: here rather than on the
  // stack, which a plug-in may overwrite.
  FloatingState found;
  std::string hangNote;
  std::FILE* report = stdout;
  DWORD hangLimit = 0;
  volatile bool stopWatching = false;
  // A copy, since a call's name may not outlive the call.
  char lastCall[128] = {};
};
GuardState state;

// The head of the thread's chain of exception handlers, at FS:0.
void* HandlerChain() {
  void* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}
void SetHandlerChain(void* head) { asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }

// The stack the recovery runs on: the plug-in's stack pointer at the fault
// may be anything.
alignas(16) unsigned char recoveryStack[16384];

bool IsProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_BREAKPOINT:
      return true;
    default:
      return false;
  }
}

// Entered instead of the faulting instruction: drops the plug-in's frames
// and their exception handlers, and returns to RunCallback.
extern "C" void ResumeAfterFault() {
  SetHandlerChain(state.handlers);
  __builtin_longjmp(state.jump, 1);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (!state.armed || !IsProcessorFault(code)) return EXCEPTION_CONTINUE_SEARCH;
  state.armed = false;
  state.fault = {true, code, info->ExceptionRecord->ExceptionAddress};
  CONTEXT& context = *info->ContextRecord;
  context.Esp = DWORD(reinterpret_cast<std::uintptr_t>(recoveryStack + sizeof recoveryStack - 16));
  context.Eip = DWORD(reinterpret_cast<std::uintptr_t>(&ResumeAfterFault));
  context.EFlags &= ~0x400u;  // the direction flag, which compiled code expects clear
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The call under way has run past the limit. Its start is read before the
// clock and again after: a call that began in between is not judged on
// this round, since the clock may predate its start.
bool CallOverdue() {
  const DWORD startedAt = state.startedAt;
  const DWORD now = GetTickCount();
  return state.armed && state.timed && state.startedAt == startedAt && RunPastLimit(startedAt, now, state.hangLimit);
}

DWORD WINAPI Watch(void*) {
  while (!state.stopWatching) {
    Sleep(200);
    if (CallOverdue()) {
      std::fflush(stdout);
      std::fprintf(state.report, "%s%s did not return within %lu s\n", state.hangNote.c_str(), state.call,
                   static_cast<unsigned long>(state.hangLimit / 1000));
      std::fflush(state.report);
      TerminateProcess(GetCurrentProcess(), 1);
    }
  }
  return 0;
}

}  // namespace

std::string DescribeFault(const Fault& fault) {
  const char* what = "processor exception";
  switch (fault.code) {
    case EXCEPTION_ACCESS_VIOLATION:
      what = "access violation";
      break;
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      what = "illegal instruction";
      break;
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      what = "division by zero";
      break;
    case EXCEPTION_STACK_OVERFLOW:
      what = "stack overflow";
      break;
    case EXCEPTION_FLT_INVALID_OPERATION:
      what = "floating-point invalid operation";
      break;
    case EXCEPTION_FLT_DENORMAL_OPERAND:
      what = "floating-point denormal operand";
      break;
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
      what = "floating-point division by zero";
      break;
    case EXCEPTION_FLT_OVERFLOW:
      what = "floating-point overflow";
      break;
    case EXCEPTION_FLT_UNDERFLOW:
      what = "floating-point underflow";
      break;
    case EXCEPTION_FLT_INEXACT_RESULT:
      what = "floating-point inexact result";
      break;
    case EXCEPTION_FLT_STACK_CHECK:
      what = "floating-point stack fault";
      break;
    default:
      break;
  }
  char text[96];
  std::snprintf(text, sizeof text, "%s (0x%08lX) at %p", what, fault.code, fault.address);
  return text;
}

bool RunPastLimit(unsigned long startedAt, unsigned long now, unsigned long limit) {
  // Signed, so that a start after `now` is not a wrapped-round age and the
  // clock's own wrap after 49 days passes unnoticed.
  return static_cast<long>(now - startedAt) > static_cast<long>(limit);
}

const char* FaultGuard::CallInProgress() { return state.armed ? state.call : nullptr; }

std::string FaultGuard::LastCall() { return state.lastCall; }

void FaultGuard::SetHangReport(const std::string& hangNote, std::FILE* report) {
  state.hangNote = hangNote;
  state.report = report;
}

FaultGuard::FaultGuard(const std::string& hangNote, int seconds, std::FILE* report) {
  SetHangReport(hangNote, report);
  state.hangLimit = DWORD(seconds) * 1000;
  state.stopWatching = false;
  handler_ = AddVectoredExceptionHandler(1, OnException);
  watchdog_ = CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr);
}

FaultGuard::~FaultGuard() {
  state.stopWatching = true;
  if (watchdog_) {
    WaitForSingleObject(watchdog_, INFINITE);
    CloseHandle(watchdog_);
  }
  if (handler_) RemoveVectoredExceptionHandler(handler_);
}

__attribute__((noinline)) Fault FaultGuard::RunCallback(const char* name, void (*callback)(void*), void* context,
                                                        bool timed) {
  state.found = ReadFloatingState();
  state.handlers = HandlerChain();
  state.fault = Fault();
  state.call = name;
  std::strncpy(state.lastCall, name, sizeof state.lastCall - 1);
  state.timed = timed;
  if (__builtin_setjmp(state.jump) == 0) {
    state.startedAt = GetTickCount();
    state.armed = true;
    callback(context);
    // Still armed: an x87 exception the plug-in left pending traps here,
    // at the first instruction that waits for the unit, and is its fault.
    const FloatingState left = ReadFloatingState();
    state.armed = false;
    Fault cameBack;
    cameBack.floatingChange = FloatingStateChange(state.found, left);
    if (!cameBack.floatingChange.empty()) PutFloatingState(state.found);
    return cameBack;
  }
  // A faulting plug-in may leave the floating-point unit in any state.
  PutFloatingState(state.found);
  return state.fault;
}

}  // namespace host
