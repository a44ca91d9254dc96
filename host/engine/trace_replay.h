// A recorded trace's calls made again against a DLL, in the order they
// began, each with the recorded slots, bytes, file contents, control word,
// MXCSR and stack alignment; what the DLL writes and returns is compared
// with the trace.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "plugin_library.h"
#include "trace_reader.h"

namespace host {

struct ReplayOutcome {
  std::size_t replayed = 0;
  std::size_t differing = 0;
};

// The calls are given one at a time, in the order they began; `say` gets
// each line of the report as it comes: what is replayed other than as
// recorded (a dialog cancelled after `dialogSeconds`, a window of
// hostsim's, a call not made and why), the first difference with its call
// number, entry point and bytes, and each later differing call in one
// line. A call that never returned is made again only where no call
// follows it: its end is the trace's end, so making it again shows what
// became of it; followed by others, it is not made, as what it left behind
// is unknown. The calls begun after a cap's gap are not made: the calls
// left out made the part's state they found.
class TraceReplay {
 public:
  TraceReplay(const PluginLibrary& library, double dialogSeconds, const std::function<void(const std::string&)>& say);
  ~TraceReplay();
  TraceReplay(const TraceReplay&) = delete;
  TraceReplay& operator=(const TraceReplay&) = delete;

  void Call(const TraceCall& call);
  // After the last call.
  ReplayOutcome Finish();

 private:
  class State;
  std::unique_ptr<State> state_;
};

}  // namespace host
