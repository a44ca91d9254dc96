// Any bytes may stand where replay expects a call trace. The reader gives
// calls whose exits belong to them, or a Failure naming the trace and,
// where a line is at fault, that line and the column in it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "failure.h"
#include "require.h"
#include "trace_reader.h"

namespace {

using fuzz::Require;

const std::string kName = "fuzzed.trace";

std::size_t LineCount(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t at = 0; at < text.size(); ++lines) {
    const std::size_t end = text.find('\n', at);
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

// The length of line `number` (from 1) with its line end.
std::size_t LineLength(const std::string& text, std::size_t number) {
  std::size_t at = 0;
  for (std::size_t line = 1; line < number; ++line) at = text.find('\n', at) + 1;
  const std::size_t end = text.find('\n', at);
  return (end == std::string::npos ? text.size() : end + 1) - at;
}

void RequireCalls(const host::Trace& trace) {
  for (const host::TraceCall& call : trace.calls) {
    Require(!call.entry.entryPoint.empty());
    Require(!call.returned || call.exit.number == call.entry.number);
    Require(call.entry.Slots().size() <= call.entry.Field("slots").size() + 1);
  }
}

// "NAME, line N, column C: reason" with N a line of the trace and C a
// column of it (one past its end where the line is cut short), or a
// refusal of the whole of it ("NAME is ...").
void RequireLocated(const std::string& failure, const std::string& text) {
  if (failure.rfind(kName + " is ", 0) == 0) return;
  std::size_t at = 0, line = 0, column = 0;
  std::string name, lineText, columnText;
  Require(fuzz::ReadUpTo(failure, at, ", line ", name) && name == kName);
  Require(fuzz::ReadUpTo(failure, at, ", column ", lineText) && fuzz::ReadNumber(lineText, LineCount(text), line));
  Require(fuzz::ReadUpTo(failure, at, ": ", columnText) &&
          fuzz::ReadNumber(columnText, LineLength(text, line) + 1, column));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  host::Trace trace;
  const std::string failure = host::FailureOf([&] { trace = host::ParseTrace(text, kName); });
  if (failure.empty())
    RequireCalls(trace);
  else
    RequireLocated(failure, text);
  return 0;
}
