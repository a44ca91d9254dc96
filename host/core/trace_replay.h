// A recorded trace's calls made again against a DLL, in the order they
// began, each with the recorded slots, bytes, file contents, control word,
// MXCSR and stack alignment; what the DLL writes and returns is compared
// with the trace.
#pragma once

#include <functional>
#include <string>

#include "plugin_library.h"
#include "trace_reader.h"

namespace host {

struct ReplayOutcome {
  std::size_t replayed = 0;
  std::size_t differing = 0;
};

// `say` gets each line of the report as it comes: what is replayed other
// than as recorded (a dialog cancelled after `dialogSeconds`, a window of
// hostsim's), the first difference with its call number, entry point and
// bytes, and each later differing call in one line.
ReplayOutcome ReplayTrace(const Trace& trace, const PluginLibrary& library, double dialogSeconds,
                          const std::function<void(const std::string&)>& say);

}  // namespace host
