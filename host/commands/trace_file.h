// A trace read from its file in pieces, so that one of hundreds of MB is
// never held whole; standard input ("-") is read whole, as it cannot seek.
#pragma once

#include <functional>
#include <string>

#include "trace_reader.h"

namespace host {

// The trace read through to its end, each call given to `call` (or kept
// in trace.calls without it).
void ReadTraceAt(const std::string& path, Trace& trace, const std::function<void(const TraceCall&)>& call = nullptr);

}  // namespace host
