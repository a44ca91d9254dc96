// `show`: call traces in words, for reading a user's problem from them.
#include <cstdio>

#include "command.h"
#include "options.h"
#include "paths.h"
#include "trace_file.h"
#include "trace_show.h"

namespace host {
namespace {

int Show(Arguments arguments, FaultGuard&) {
  const CommandLine line = ReadCommandLine(kShowCommand, arguments);
  std::vector<NamedTrace> traces;
  for (const std::string& path : line.operands) {
    traces.push_back({FileName(path), Trace()});
    ReadTraceAt(path, traces.back().trace);
  }
  ShowTraces(traces, [](const std::string& text) { std::printf("%s\n", text.c_str()); });
  return 0;
}

}  // namespace

const Command kShowCommand = {"show",
                              {{"show TRACE...", "each call of a recorder's trace in words: the time,\n"
                                                 "the part and its placed instance (#1, #2, ... in\n"
                                                 "the order placed), the pins' levels by name, the\n"
                                                 "results, the settings text, a changed control word,\n"
                                                 "calls that did not return and what the cap left out;\n"
                                                 "the traces of one session (one per part) together,\n"
                                                 "in the order of time"}},
                              "A level is shown in volts as the host reads it, with (high) or (low) where it\n"
                              "is neither 5 V nor 0 V; a text's control characters as \\xNN, a line end of\n"
                              "a part's settings as \\r\\n. Times are the trace's start (to the second) plus\n"
                              "the call's milliseconds, so the traces of one session line up to about a\n"
                              "second.\n",
                              Show};

}  // namespace host
