// A call trace as the recorder writes it (docs/formats.md), read back and
// checked line by line: a trace may come from a stranger, so nothing in it
// is taken on trust. Every count and size is held to what its entry point
// and the file allow before anything is made of it, and the file is read
// in pieces, so that memory stays within about the trace's own size.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "trace_format.h"

namespace host {

struct TraceRecord {
  std::uint32_t number = 0;
  std::uint32_t milliseconds = 0;
  std::string entryPoint;
  std::map<std::string, std::string> fields;  // key=value, values as written
  std::uint64_t line = 0;                     // in the trace's file

  bool Has(const std::string& key) const { return fields.count(key) > 0; }
  const std::string& Field(const std::string& key) const;  // empty where missing
  // A field of hex digits as a number.
  std::uint32_t Number(const std::string& key) const;
  // The slots=... list; empty for "?".
  std::vector<std::uint32_t> Slots() const;
};

struct TraceCall {
  TraceRecord entry;
  bool returned = false;  // the trace holds its exit
  TraceRecord exit;
  // The why= of its "~" record (trace::kUnreturnedNext or ...Unload) for
  // a call that never returned; empty otherwise.
  std::string unreturned;
  bool afterGap = false;  // begun in the cap's ring, after the calls left out
};

// The calls a capped trace left out between its first part and its ring.
struct TraceGap {
  bool present = false;
  std::uint32_t lastBefore = 0;  // the last call begun in the first part (0: none)
  std::uint32_t firstAfter = 0;  // the first call begun in the ring (0: none)
  // From the "! left-out" note of a trace closed normally.
  bool counted = false;
  std::uint32_t first = 0, last = 0;
  std::uint64_t records = 0;
};

struct Trace {
  int version = 0;
  std::map<std::string, std::string> head;
  std::vector<TraceCall> calls;  // in the order they began
  std::vector<std::string> notes;
  std::uint64_t notesNotKept = 0;  // past kKeptTraceNotes
  TraceGap gap;
};
constexpr std::size_t kKeptTraceNotes = 1000;

// Where a trace's bytes come from: read at any offset, for the cap's ring.
class TraceSource {
 public:
  virtual ~TraceSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Up to `room` bytes from `offset`; fewer only at the end.
  virtual std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t room) = 0;
};

class TextTraceSource : public TraceSource {
 public:
  explicit TextTraceSource(const std::string& text) : text_(text) {}
  std::uint64_t Size() const override { return text_.size(); }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t room) override;

 private:
  const std::string& text_;
};

// Reads the whole trace. Each call goes to `call` once complete, in the
// order the calls began; without `call` they are kept in trace.calls.
// Throws a Failure "NAME, line L, column C: ..." for anything that is not
// as the format says, a trace cut short included.
void ReadTrace(TraceSource& source, const std::string& name, Trace& trace,
               const std::function<void(const TraceCall&)>& call = nullptr);
Trace ParseTrace(const std::string& text, const std::string& name);

// What each stack slot of an entry point is (trace_format.h), null for
// one whose slots are all plain values or that the interface lacks.
const trace::Role* TraceArgumentRoles(const std::string& entryPoint);

// A region's known bytes: hex pairs and {XX*COUNT} runs; "-" is none. The
// bytes left out after them ({??*COUNT}, always last) UnknownTraceBytes
// counts. Throws a Failure for anything else.
std::vector<unsigned char> DecodeTraceBytes(const std::string& written);
std::size_t UnknownTraceBytes(const std::string& written);
// A text="..." value without its quotes and escapes.
std::string DecodeTraceText(const std::string& written);
// A file region: the position, and the bytes after "+" (or only their
// count after "+#").
struct TraceFilePosition {
  bool known = false;
  std::uint32_t position = 0;
  bool hasBytes = false;
  std::vector<unsigned char> bytes;  // the known ones
  std::uint32_t unknown = 0;         // left out after them
  std::uint32_t count = 0;           // known and unknown
};
TraceFilePosition DecodeTraceFile(const std::string& written);

}  // namespace host
