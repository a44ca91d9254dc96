// Stands in for the HTML Help control: exports HtmlHelpA by ordinal 14,
// opens nothing, and records its arguments for the tests.
#include <cstring>

#include "help_call.h"

namespace {
fake_help::HelpCall calls[fake_help::kMaxCalls];
volatile LONG count;
}  // namespace

extern "C" __declspec(dllexport) LONG RecordedHelpCalls(const fake_help::HelpCall** recorded) {
  *recorded = calls;
  return count;
}

extern "C" HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  const LONG next = count;
  if (next < fake_help::kMaxCalls) {
    fake_help::HelpCall& call = calls[next];
    call.caller = caller;
    std::strncpy(call.file, file ? file : "(null)", sizeof call.file - 1);
    call.command = command;
    call.data = data;
    InterlockedExchange(&count, next + 1);  // published once complete
  }
  return nullptr;
}
