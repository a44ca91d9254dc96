// What the fake help control records of each call of its HtmlHelpA, as the
// tests read it back through its export RecordedHelpCalls.
#pragma once

#include <windows.h>

namespace fake_help {

struct HelpCall {
  HWND caller;
  char file[MAX_PATH];
  UINT command;
  DWORD_PTR data;
};

constexpr LONG kMaxCalls = 64;

// Gives the number of calls so far and where they are recorded.
using RecordedHelpCallsFn = LONG (*)(const HelpCall** calls);

}  // namespace fake_help
