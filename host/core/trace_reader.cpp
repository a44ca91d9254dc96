#include "trace_reader.h"

#include <cstdlib>

#include "failure.h"
#include "trace_format.h"

namespace host {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

unsigned char HexByte(const std::string& text, std::size_t at) {
  const int high = at + 1 < text.size() ? HexDigit(text[at]) : -1, low = high < 0 ? -1 : HexDigit(text[at + 1]);
  if (low < 0) throw Failure("no hex byte at " + std::to_string(at) + " of \"" + text.substr(0, 40) + "\"");
  return static_cast<unsigned char>(high * 16 + low);
}

// The key=value fields after the first four words; a quoted value runs to
// its closing quote, blanks and all.
std::map<std::string, std::string> Fields(const std::string& line, std::size_t at) {
  std::map<std::string, std::string> fields;
  while (at < line.size()) {
    if (line[at] == ' ') {
      ++at;
      continue;
    }
    const std::size_t equals = line.find('=', at);
    if (equals == std::string::npos) throw Failure("a word without '=': " + line.substr(at, 40));
    std::size_t end = equals + 1;
    if (end < line.size() && line[end] == '"') {
      for (++end; end < line.size() && line[end] != '"'; ++end)
        if (line[end] == '\\') ++end;
      ++end;
    } else {
      end = line.find(' ', end);
      if (end == std::string::npos) end = line.size();
    }
    fields[line.substr(at, equals - at)] = line.substr(equals + 1, end - equals - 1);
    at = end;
  }
  return fields;
}

TraceRecord ParseRecord(const std::string& line) {
  TraceRecord record;
  std::size_t at = 2;
  auto word = [&] {
    const std::size_t end = line.find(' ', at);
    std::string text = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? line.size() : end + 1;
    if (text.empty()) throw Failure("a record without its number, time and entry point");
    return text;
  };
  record.number = std::uint32_t(std::strtoul(word().c_str(), nullptr, 10));
  record.milliseconds = std::uint32_t(std::strtoul(word().c_str(), nullptr, 10));
  record.entryPoint = word();
  record.fields = Fields(line, at);
  return record;
}

void AddLine(Trace& trace, const std::string& line, bool& inHead) {
  if (line.empty()) return;
  if (line[0] == trace::kNoteMark) {
    inHead = false;
    trace.notes.push_back(line.substr(line.size() > 1 ? 2 : 1));
  } else if (line[0] == trace::kEntryMark && line.size() > 1 && line[1] == ' ') {
    inHead = false;
    trace.calls.push_back({ParseRecord(line), false, {}});
  } else if (line[0] == trace::kExitMark && line.size() > 1 && line[1] == ' ') {
    TraceRecord exit = ParseRecord(line);
    for (auto call = trace.calls.rbegin(); call != trace.calls.rend(); ++call) {
      if (call->entry.number != exit.number) continue;
      call->returned = true;
      call->exit = exit;
      return;
    }
    throw Failure("the exit of call " + std::to_string(exit.number) + " comes without its entry");
  } else if (inHead) {
    const std::size_t blank = line.find(' ');
    trace.head[line.substr(0, blank)] = blank == std::string::npos ? "" : line.substr(blank + 1);
  } else {
    throw Failure("a line that is no record: " + line.substr(0, 40));
  }
}

}  // namespace

const std::string& TraceRecord::Field(const std::string& key) const {
  static const std::string none;
  const auto found = fields.find(key);
  return found == fields.end() ? none : found->second;
}

std::uint32_t TraceRecord::Number(const std::string& key) const {
  return std::uint32_t(std::strtoul(Field(key).c_str(), nullptr, 16));
}

std::vector<std::uint32_t> TraceRecord::Slots() const {
  std::vector<std::uint32_t> slots;
  const std::string& written = Field("slots");
  if (written == "?") return slots;
  for (std::size_t at = 0; at < written.size();) {
    std::size_t end = written.find(',', at);
    if (end == std::string::npos) end = written.size();
    slots.push_back(std::uint32_t(std::strtoul(written.substr(at, end - at).c_str(), nullptr, 16)));
    at = end + 1;
  }
  return slots;
}

Trace ParseTrace(const std::string& text, const std::string& name) {
  Trace trace;
  bool inHead = true;
  std::size_t number = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++number;
    if (number == 1 && line.rfind(trace::kFirstLine, 0) != 0)
      throw Failure(name + " is no call trace: its first line is not \"" + trace::kFirstLine + " ...\"");
    try {
      AddLine(trace, line, inHead);
    } catch (const Failure& failure) {
      throw Failure(name + ", line " + std::to_string(number) + ": " + failure.what());
    }
    at = end + 1;
  }
  if (text.empty()) throw Failure(name + " is empty");
  return trace;
}

std::vector<unsigned char> DecodeTraceBytes(const std::string& written) {
  std::vector<unsigned char> bytes;
  if (written == "-") return bytes;
  for (std::size_t at = 0; at < written.size();) {
    if (written[at] != '{') {
      bytes.push_back(HexByte(written, at));
      at += 2;
      continue;
    }
    const std::size_t star = written.find('*', at), close = written.find('}', at);
    if (star != at + 3 || close == std::string::npos)
      throw Failure("a broken run in \"" + written.substr(at, 20) + "\"");
    const unsigned char value = HexByte(written, at + 1);
    bytes.insert(bytes.end(), std::strtoul(written.substr(star + 1, close - star - 1).c_str(), nullptr, 10), value);
    at = close + 1;
  }
  return bytes;
}

std::string DecodeTraceText(const std::string& written) {
  std::string text;
  for (std::size_t at = 1; at + 1 < written.size(); ++at) {
    if (written[at] == '\\' && at + 3 < written.size()) {
      text += char(HexByte(written, at + 2));
      at += 3;
    } else {
      text += written[at];
    }
  }
  return text;
}

TraceFilePosition DecodeTraceFile(const std::string& written) {
  TraceFilePosition file;
  if (written.empty() || written == "?") return file;
  file.known = true;
  const std::size_t plus = written.find('+');
  file.position = std::uint32_t(std::strtoul(written.substr(0, plus).c_str(), nullptr, 10));
  if (plus == std::string::npos) return file;
  if (plus + 1 < written.size() && written[plus + 1] == '#') {
    file.count = std::uint32_t(std::strtoul(written.substr(plus + 2).c_str(), nullptr, 10));
  } else {
    file.hasBytes = true;
    file.bytes = DecodeTraceBytes(written.substr(plus + 1));
    file.count = std::uint32_t(file.bytes.size());
  }
  return file;
}

}  // namespace host
