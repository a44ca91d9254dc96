// Call traces in words, for a person who has a user's traces and not our
// sources: each call with its time, the part and which of its placed
// instances, the pins' levels by name, the results, the settings text a
// part writes and reads, a changed floating-point state, the calls that
// never returned and the records the cap left out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "trace_reader.h"

namespace host {

struct NamedTrace {
  std::string name;  // the file's name, for the head
  Trace trace;
};

// The traces of one session (one per part the host loaded, say) told
// together: every call of all of them in the order of time (the trace's
// start plus the call's milliseconds), each trace's head before its first
// call, and a line of counts per trace at the end. `say` gets each line as
// it comes.
void ShowTraces(const std::vector<NamedTrace>& traces, const std::function<void(const std::string&)>& say);

// A signal value in volts from its ten bytes, read as integers, so that no
// encoding the x87 refuses traps or turns into another: "5 V", "0 V",
// "3.3 V (high)", "+inf V (high)", "NaN (low)", "unnormal 0123...".
std::string ShownLevel(const unsigned char* value);

// A part's file block: its characters as text, a line end as \r\n, other
// control bytes as \xNN, in quotes; a long one cut with its length, and
// the bytes the recorder left out after `bytes` counted in it.
std::string ShownFileText(const std::vector<unsigned char>& bytes, std::size_t leftOut = 0);

}  // namespace host
