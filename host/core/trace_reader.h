// A call trace as the recorder writes it (trace_format.h), read back.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace host {

struct TraceRecord {
  std::uint32_t number = 0;
  std::uint32_t milliseconds = 0;
  std::string entryPoint;
  std::map<std::string, std::string> fields;  // key=value, values as written

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
};

struct Trace {
  std::map<std::string, std::string> head;
  std::vector<TraceCall> calls;  // in the order they began
  std::vector<std::string> notes;
};

// Throws a Failure that names the trace and the line that is not one of
// its kind.
Trace ParseTrace(const std::string& text, const std::string& name);

// A region's bytes: hex pairs and {XX*COUNT} runs; "-" is none. Throws a
// Failure for anything else.
std::vector<unsigned char> DecodeTraceBytes(const std::string& written);
// A text="..." value without its quotes and escapes.
std::string DecodeTraceText(const std::string& written);
// A file region: the position, and the bytes after "+" (or only their
// count after "+#").
struct TraceFilePosition {
  bool known = false;
  std::uint32_t position = 0;
  bool hasBytes = false;
  std::vector<unsigned char> bytes;
  std::uint32_t count = 0;
};
TraceFilePosition DecodeTraceFile(const std::string& written);

}  // namespace host
