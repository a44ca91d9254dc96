#include "trace_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "failure.h"
#include "plugin_interface.h"
#include "shown_text.h"
#include "trace_format.h"

namespace host {
namespace {

// Longer than any record can be: a region holds at most kMaxRegionBytes
// known bytes, two hex digits each.
constexpr std::size_t kMaxLine = 4 * trace::kMaxRegionBytes + 65536;
constexpr std::size_t kChunk = 1 << 16;
constexpr std::uint32_t kMaxDepth = 1000;

// What is wrong with a line, and where in it (from 0).
struct BadLine {
  std::size_t column;
  std::string what;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A decimal number of at most `most`, from `from` to `to` of `text`.
std::uint64_t Decimal(const std::string& text, std::size_t from, std::size_t to, std::uint64_t most, const char* what) {
  if (from == to) throw BadLine{from, std::string(what) + " is missing"};
  std::uint64_t value = 0;
  for (std::size_t at = from; at < to; ++at) {
    if (text[at] < '0' || text[at] > '9') throw BadLine{at, std::string(what) + " is no decimal number"};
    value = value * 10 + std::uint64_t(text[at] - '0');
    if (value > most) throw BadLine{from, std::string(what) + " is more than " + std::to_string(most)};
  }
  return value;
}

void Hex(const std::string& text, std::size_t from, std::size_t to, std::size_t digits, const char* what) {
  if (to - from != digits) throw BadLine{from, std::string(what) + " is not " + std::to_string(digits) + " hex digits"};
  for (std::size_t at = from; at < to; ++at)
    if (HexDigit(text[at]) < 0)
      throw BadLine{at, std::string(what) + " is not " + std::to_string(digits) + " hex digits"};
}

std::uint32_t HexValue(const std::string& text, std::size_t from, std::size_t to) {
  std::uint32_t value = 0;
  for (std::size_t at = from; at < to; ++at) value = value * 16 + std::uint32_t(HexDigit(text[at]));
  return value;
}

// Counts of a region's bytes as written: those given and those left out.
struct ByteCounts {
  std::uint64_t known = 0, unknown = 0;
};

// Checks hex pairs, {XX*COUNT} and a last {??*COUNT} from `from` to `to`,
// holding the total to `most` before anything is counted past it.
ByteCounts ScanBytes(const std::string& text, std::size_t from, std::size_t to, std::uint64_t most,
                     bool unknownAllowed) {
  ByteCounts counts;
  if (to - from == 1 && text[from] == '-') return counts;
  if (from == to) throw BadLine{from, "no bytes (\"-\" for none)"};
  for (std::size_t at = from; at < to;) {
    if (counts.unknown) throw BadLine{at, "bytes after the ones left out"};
    std::uint64_t count = 1;
    if (text[at] == '{') {
      const std::size_t star = at + 3, close = text.find('}', at);
      if (star >= to || text[star] != '*' || close == std::string::npos || close >= to)
        throw BadLine{at, "a run that is not {XX*COUNT}"};
      const bool unknown = text[at + 1] == '?' && text[at + 2] == '?';
      if (unknown && !unknownAllowed) throw BadLine{at, "bytes left out ({??*COUNT}) where none may be"};
      if (!unknown) Hex(text, at + 1, star, 2, "a run's byte");
      count = Decimal(text, star + 1, close, most, "a run's count");
      if (count == 0) throw BadLine{star + 1, "a run of no bytes"};
      (unknown ? counts.unknown : counts.known) += count;
      at = close + 1;
    } else {
      if (at + 2 > to || HexDigit(text[at]) < 0 || HexDigit(text[at + 1]) < 0) throw BadLine{at, "no hex byte"};
      counts.known += 1;
      at += 2;
    }
    if (counts.known + counts.unknown > most)
      throw BadLine{at - 1, "more bytes than the region holds (" + std::to_string(most) + ")"};
  }
  return counts;
}

// A text="..." value: printable ASCII, other bytes as \xNN.
void ScanText(const std::string& text, std::size_t from, std::size_t to) {
  if (to - from < 2 || text[from] != '"' || text[to - 1] != '"') throw BadLine{from, "a text not in quotes"};
  std::size_t length = 0;
  for (std::size_t at = from + 1; at + 1 < to; ++length) {
    if (text[at] == '"') throw BadLine{at, "a quote inside a text"};
    if (text[at] == '\\') {
      if (at + 4 >= to || text[at + 1] != 'x') throw BadLine{at, "an escape that is not \\xNN"};
      Hex(text, at + 2, at + 4, 2, "an escape");
      at += 4;
    } else {
      ++at;
    }
  }
  if (length > trace::kMaxText) throw BadLine{from, "a text longer than " + std::to_string(trace::kMaxText) + " bytes"};
}

int SlotsOf(const std::string& name) {
  const EntryPoint* entry = FindEntryPoint(name.c_str());
  return entry ? entry->stackSlots : -1;
}

bool GivesText(const std::string& name) {
  const EntryPoint* entry = FindEntryPoint(name.c_str());
  return entry && ReturnsText(*entry);
}

// A region's buffer role and the most bytes it holds; kValue for a key
// that names no region.
struct RegionOf {
  const char* key;
  trace::Role role;
  std::uint64_t most;
};
constexpr RegionOf kRegions[] = {
    {trace::kSlotRegion, trace::Role::kRecord, 4},
    {trace::kWindowRegion, trace::Role::kRecord, 4},
    {trace::kPinsRegion, trace::Role::kPins, kPinInfoSize},
    {trace::kInputsRegion, trace::Role::kInputs, kMaxPins* kSignalSize},
    {trace::kOutputsRegion, trace::Role::kOutputs, kMaxPins* kSignalSize},
    {trace::kParametersRegion, trace::Role::kParameters, trace::kParametersSize},
    {trace::kEnablesRegion, trace::Role::kEnables, trace::kEnablesSize},
};

const RegionOf* FindRegion(const std::string& key) {
  for (const RegionOf& region : kRegions)
    if (key == region.key) return &region;
  return nullptr;
}

bool HasRole(const std::string& name, trace::Role role) {
  const EntryPoint* entry = FindEntryPoint(name.c_str());
  for (int k = 0; entry && k < entry->stackSlots; ++k)
    if (trace::RoleOf(entry->slots[k]) == role) return true;
  return false;
}

// One line of the trace, split and checked.
class RecordLine {
 public:
  RecordLine(const std::string& line, int version) : line_(line), version_(version) {}

  TraceRecord Read() {
    TraceRecord record;
    std::size_t at = 2;
    record.number = std::uint32_t(Decimal(line_, at, Word(at), 0xFFFFFFFFu, "the call number"));
    if (record.number == 0) throw BadLine{2, "call number 0 (they count from 1)"};
    at = Next(at);
    record.milliseconds = std::uint32_t(Decimal(line_, at, Word(at), 0xFFFFFFFFu, "the time"));
    at = Next(at);
    const std::size_t end = Word(at);
    if (at == end) throw BadLine{at, "no entry point"};
    for (std::size_t k = at; k < end; ++k)
      if (static_cast<unsigned char>(line_[k]) > 0x7E) throw BadLine{k, "an entry point's name that is not ASCII"};
    record.entryPoint = line_.substr(at, end - at);
    for (at = end; at < line_.size();) {
      if (line_[at] != ' ' || at + 1 == line_.size()) throw BadLine{at, "not one blank between fields"};
      at = Field(record, at + 1);
    }
    return record;
  }

 private:
  std::size_t Word(std::size_t at) const {
    const std::size_t end = line_.find(' ', at);
    return end == std::string::npos ? line_.size() : end;
  }
  std::size_t Next(std::size_t at) const {
    const std::size_t end = Word(at);
    if (end == line_.size()) throw BadLine{end, "the line ends before its number, time and entry point"};
    return end + 1;
  }

  // One key=value; returns where it ends.
  std::size_t Field(TraceRecord& record, std::size_t at) {
    const std::size_t equals = line_.find('=', at);
    const std::size_t blank = Word(at);
    if (equals == std::string::npos || equals > blank) throw BadLine{at, "a field without '='"};
    const std::string key = line_.substr(at, equals - at);
    std::size_t end = blank;
    if (key == trace::kTextField) {
      end = line_.find('"', equals + 2);
      if (equals + 1 >= line_.size() || line_[equals + 1] != '"' || end == std::string::npos)
        throw BadLine{equals + 1, "a text without its closing quote"};
      ++end;
    }
    if (record.fields.count(key)) throw BadLine{at, "field " + key + " twice"};
    Check(record, key, equals + 1, end);
    record.fields[key] = line_.substr(equals + 1, end - equals - 1);
    return end;
  }

  void Check(const TraceRecord& record, const std::string& key, std::size_t from, std::size_t to) const {
    const char mark = line_[0];
    const bool entry = mark == trace::kEntryMark, exit = mark == trace::kExitMark;
    const std::string& name = record.entryPoint;
    if (mark == trace::kUnreturnedMark) {
      const std::string why = line_.substr(from, to - from);
      if (key != "why" || (why != trace::kUnreturnedNext && why != trace::kUnreturnedUnload))
        throw BadLine{from, "a \"~\" record takes why=next-call or why=unload only"};
    } else if (key == "depth") {
      Decimal(line_, from, to, kMaxDepth, "the depth");
    } else if (key == "align" && entry) {
      Decimal(line_, from, to, 15, "the alignment");
    } else if (key == "cw" || key == "sw") {
      Hex(line_, from, to, 4, key.c_str());
    } else if (key == "mxcsr") {
      Hex(line_, from, to, 8, "the MXCSR");
      if (HexValue(line_, from, to) > 0xFFFF) throw BadLine{from, "an MXCSR with reserved bits set"};
    } else if ((key == "eax" || key == "edx") && exit) {
      Hex(line_, from, to, 8, key.c_str());
    } else if (key == "pop" && exit) {
      Decimal(line_, from, to, 0xFFFFFFFFu, "pop");
    } else if (key == "slots" && entry) {
      CheckSlots(name, from, to);
    } else if (key == trace::kTextField && exit && GivesText(name)) {
      ScanText(line_, from, to);
    } else if (key == trace::kFileRegion && HasRole(name, trace::Role::kFile)) {
      CheckFile(entry, from, to);
    } else if (const RegionOf* region = FindRegion(key)) {
      if (!HasRole(name, region->role) || (exit && region->role == trace::Role::kInputs))
        throw BadLine{from - key.size() - 1, name + " has no region " + key};
      ScanBytes(line_, from, to, region->most, false);
    } else {
      throw BadLine{from - key.size() - 1, "a field this record does not have: " + key};
    }
  }

  void CheckSlots(const std::string& name, std::size_t from, std::size_t to) const {
    const int expected = SlotsOf(name);
    if (to - from == 1 && line_[from] == '?') {
      if (version_ < 2) throw BadLine{from, "slots=? is not in a version 1 trace"};
      if (expected >= 0) throw BadLine{from, "unknown slots for " + name + ", which the interface describes"};
      return;
    }
    int count = 0;
    for (std::size_t at = from; at < to; at += 9) {
      if (++count > kMaxStackSlots) throw BadLine{at, "more slots than any entry point takes"};
      Hex(line_, at, std::min(at + 8, to), 8, "a slot");
      if (at + 8 < to && (line_[at + 8] != ',' || at + 9 == to)) throw BadLine{at + 8, "slots not parted by ','"};
    }
    if (expected < 0 && count > 0) throw BadLine{from, "slots for " + name + ", which the interface does not describe"};
    if (expected >= 0 && count != expected)
      throw BadLine{from, std::to_string(count) + " slots for " + name + ", which takes " + std::to_string(expected)};
  }

  // POSITION on entry; POSITION, POSITION+BYTES or POSITION+#COUNT on exit.
  void CheckFile(bool entry, std::size_t from, std::size_t to) const {
    if (to - from == 1 && line_[from] == '?') return;
    const std::size_t plus = std::min(line_.find('+', from), to);
    Decimal(line_, from, plus, 0xFFFFFFFFu, "the file position");
    if (plus == to) return;
    if (entry) throw BadLine{plus, "file bytes on entry"};
    if (plus + 1 < to && line_[plus + 1] == '#')
      Decimal(line_, plus + 2, to, 0xFFFFFFFFu, "the count of file bytes");
    else
      ScanBytes(line_, plus + 1, to, 0xFFFFFFFFu, version_ >= 2);
  }

  const std::string& line_;
  int version_;
};

std::uint64_t FileBytesCount(const std::string& written) {
  const std::size_t plus = written.find('+');
  if (plus == std::string::npos) return 0;
  if (written[plus + 1] == '#') return std::strtoull(written.c_str() + plus + 2, nullptr, 10);
  const ByteCounts counts = ScanBytes(written, plus + 1, written.size(), 0xFFFFFFFFu, true);
  return counts.known + counts.unknown;
}

class Reader {
 public:
  Reader(TraceSource& source, const std::string& name, Trace& trace, const std::function<void(const TraceCall&)>& call)
      : source_(source), name_(name), trace_(trace), call_(call) {}

  void Read() {
    const std::uint64_t size = source_.Size();
    if (size == 0) throw Failure(name_ + " is empty");
    ReadPart(0, size, false);
    if (cap_ && size > first_) ReadRing(size);
    for (auto& pending : pending_) Emit(pending.second);
    pending_.clear();
  }

 private:
  // Reads from `from` to `to` line by line up to the first NUL. The cap,
  // once the head gives it, ends the first part.
  void ReadPart(std::uint64_t from, std::uint64_t to, bool ringHalf) {
    std::string line;
    char chunk[kChunk];
    ringHalf_ = ringHalf;
    firstInPart_ = true;
    for (std::uint64_t at = from; at < to;) {
      const std::size_t room = std::size_t(std::min<std::uint64_t>(kChunk, to - at));
      const std::size_t got = source_.ReadAt(at, chunk, room);
      if (got == 0) throw Failure(name_ + " could not be read to its end");
      const char* const end = chunk + got;
      for (const char* next = chunk; next < end && at + std::uint64_t(next - chunk) < to;) {
        const char* stop = next;
        while (stop < end && *stop != '\n' && *stop != '\0') ++stop;
        if (line.size() + std::size_t(stop - next) > kMaxLine) {
          NotATraceIfFirst(line);
          ++lineNumber_;
          Bad(kMaxLine, "a line longer than any record (" + std::to_string(kMaxLine) + " bytes)");
        }
        line.append(next, stop);
        if (stop == end) break;
        if (*stop == '\0') return EndOfText(line);
        next = stop + 1;
        EndOfLine(line);
        line.clear();
        if (!ringHalf && cap_) to = std::min(to, first_);
      }
      at += got;
    }
    EndOfText(line);
  }

  void EndOfLine(std::string& line) {
    NotATraceIfFirst(line);
    ++lineNumber_;
    if (line.empty() || line.back() != '\r')
      Bad(line.size(), "the line ends in LF without CR before it (lines end in CR LF)");
    line.pop_back();
    Line(line);
  }

  void EndOfText(const std::string& line) {
    if (line.empty()) return;
    NotATraceIfFirst(line);
    ++lineNumber_;
    Bad(line.size(), "the trace is cut here: the line has no CR LF at its end");
  }

  void NotATraceIfFirst(const std::string& line) const {
    const std::size_t compared = std::min(line.size(), sizeof trace::kFirstLine - 1);
    if (lineNumber_ == 0 && line.compare(0, compared, trace::kFirstLine, compared) != 0)
      throw Failure(name_ + " is no call trace: its first line is not \"" + trace::kFirstLine + " VERSION\"");
  }

  // Where the byte at `offset` stands, its line and column from 1: a
  // ring's half may begin in the middle of a line.
  struct Place {
    std::uint64_t line, column;
  };
  Place PlaceOf(std::uint64_t offset) {
    char chunk[kChunk];
    std::uint64_t lines = 0, lineStart = 0;
    for (std::uint64_t at = 0; at < offset;) {
      const std::size_t got = source_.ReadAt(at, chunk, std::size_t(std::min<std::uint64_t>(kChunk, offset - at)));
      if (got == 0) break;
      for (std::size_t k = 0; k < got; ++k)
        if (chunk[k] == '\n') {
          ++lines;
          lineStart = at + k + 1;
        }
      at += got;
    }
    return {lines + 1, offset - lineStart + 1};
  }

  // The halves begun, in the order of their part numbers.
  void ReadRing(std::uint64_t size) {
    const std::uint64_t half = ring_ / 2, second = first_ + half;
    if (size > first_ + 2 * half)
      throw Failure(name_ + " is longer (" + std::to_string(size) + " bytes) than its cap of " +
                    std::to_string(first_) + " + " + std::to_string(ring_) + " bytes allows");
    struct Half {
      std::uint64_t part, from, to;
    };
    Half halves[2] = {{RingPartAt(first_), first_, std::min(size, second)},
                      {size > second ? RingPartAt(second) : 0, second, size}};
    if (halves[0].part && halves[1].part && halves[0].part + 1 != halves[1].part &&
        halves[1].part + 1 != halves[0].part)
      throw Failure(name_ + " is a trace whose ring's halves are parts " + std::to_string(halves[0].part) + " and " +
                    std::to_string(halves[1].part) + ", which do not follow each other");
    if (halves[1].part && (!halves[0].part || halves[1].part < halves[0].part)) std::swap(halves[0], halves[1]);
    if (!halves[0].part) return;
    trace_.gap.present = true;
    trace_.gap.lastBefore = lastEntry_;
    for (const Half& begun : halves) {
      if (!begun.part) continue;
      lineNumber_ = PlaceOf(begun.from).line - 1;
      ReadPart(begun.from, begun.to, true);
    }
  }

  // The P of the "! ring part=P" line a half begins with; 0 for a half
  // not begun (its room taken, nothing written).
  std::uint64_t RingPartAt(std::uint64_t offset) {
    const std::string expected = std::string(1, trace::kNoteMark) + " " + trace::kRingNote;
    char start[64] = {};
    const std::size_t got = source_.ReadAt(offset, start, sizeof start);
    if (got == 0 || start[0] == '\0') return 0;
    const std::string text(start, got);
    const std::size_t end = text.find("\r\n");
    const std::uint64_t part = std::strtoull(text.c_str() + std::min(expected.size(), got), nullptr, 10);
    if (text.compare(0, expected.size(), expected) != 0 || end == std::string::npos || part == 0) {
      const Place place = PlaceOf(offset);
      throw Failure(name_ + ", line " + std::to_string(place.line) + ", column " + std::to_string(place.column) +
                    ": the ring's half at byte " + std::to_string(offset) + " does not begin with \"" + expected +
                    "P\"");
    }
    return part;
  }

  [[noreturn]] void Bad(std::size_t column, const std::string& what) const {
    throw Failure(name_ + ", line " + std::to_string(lineNumber_) + ", column " + std::to_string(column + 1) + ": " +
                  what);
  }

  void Line(const std::string& line) {
    for (std::size_t at = 0; at < line.size(); ++at) {
      const unsigned char c = static_cast<unsigned char>(line[at]);
      if (c < 0x20 || c == 0x7F) Bad(at, "a control character " + Quoted(std::string(1, char(c))));
    }
    try {
      if (lineNumber_ == 1) return FirstLine(line);
      const bool first = firstInPart_;
      firstInPart_ = false;
      if (ringHalf_ && first) return RingLine(line);
      if (line.size() >= 2 && line[1] == ' ' &&
          (line[0] == trace::kEntryMark || line[0] == trace::kExitMark || line[0] == trace::kUnreturnedMark))
        return Record(line);
      if (line.size() >= 2 && line[0] == trace::kNoteMark && line[1] == ' ') return Note(line);
      if (inHead_) return HeadLine(line);
      throw BadLine{0, "a line that is no record: " + Quoted(line)};
    } catch (const BadLine& bad) {
      Bad(bad.column, bad.what);
    }
  }

  void FirstLine(const std::string& line) {
    const std::string first = std::string(trace::kFirstLine) + " ";
    if (line.compare(0, first.size(), first) != 0) throw BadLine{0, "the first line is not \"" + first + "VERSION\""};
    trace_.version = int(Decimal(line, first.size(), line.size(), 1000000, "the version"));
    if (trace_.version < 1 || trace_.version > trace::kFormatVersion)
      throw Failure(name_ + " is a call trace of version " + std::to_string(trace_.version) +
                    ", which this hostsim does not read (it reads versions 1 to " +
                    std::to_string(trace::kFormatVersion) + ")");
  }

  void HeadLine(const std::string& line) {
    static const char* const kKeys[] = {trace::kRecorderKey,   trace::kPartKey,    trace::kPartVersionKey,
                                        trace::kPartSha256Key, trace::kWindowsKey, trace::kSseKey,
                                        trace::kProcessKey,    trace::kStartedKey, trace::kCapKey};
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos || blank + 1 == line.size()) throw BadLine{0, "a head line without a value"};
    const std::string key = line.substr(0, blank), value = line.substr(blank + 1);
    if (std::find_if(std::begin(kKeys), std::end(kKeys), [&](const char* known) { return key == known; }) ==
        std::end(kKeys))
      throw BadLine{0, "a head key this hostsim does not know: " + Quoted(key)};
    if (trace_.head.count(key)) throw BadLine{0, "head key " + key + " twice"};
    if (key == trace::kCapKey) Cap(line, blank + 1);
    trace_.head[key] = value;
  }

  void Cap(const std::string& line, std::size_t from) {
    if (trace_.version < 2) throw BadLine{0, "a cap is not in a version 1 trace"};
    const std::size_t blank = line.find(' ', from);
    if (blank == std::string::npos) throw BadLine{from, "a cap without its ring's size (cap FIRST RING)"};
    first_ = Decimal(line, from, blank, std::numeric_limits<std::uint32_t>::max(), "the cap's first part");
    ring_ = Decimal(line, blank + 1, line.size(), std::numeric_limits<std::uint32_t>::max(), "the cap's ring");
    if (first_ == 0) throw BadLine{from, "a cap whose first part holds nothing"};
    cap_ = true;
  }

  void RingLine(const std::string& line) {
    const std::string expected = std::string(1, trace::kNoteMark) + " " + trace::kRingNote;
    if (line.compare(0, expected.size(), expected) != 0) throw BadLine{0, "a ring's half that does not begin so"};
    Decimal(line, expected.size(), line.size(), 0xFFFFFFFFu, "the ring's part");
    inRing_ = true;
  }

  void Note(const std::string& line) {
    inHead_ = false;
    const std::string text = line.substr(2);
    if (text.compare(0, std::strlen(trace::kRingNote), trace::kRingNote) == 0)
      throw BadLine{2, "a ring's part note that does not begin a ring's half"};
    if (text.compare(0, std::strlen(trace::kLeftOutNote), trace::kLeftOutNote) == 0) LeftOut(line);
    if (trace_.notes.size() < kKeptTraceNotes)
      trace_.notes.push_back(text);
    else
      ++trace_.notesNotKept;
  }

  // "! left-out first=N last=M records=K"
  void LeftOut(const std::string& line) {
    const std::string head = std::string("! ") + trace::kLeftOutNote + " first=";
    std::size_t at = head.size();
    if (line.compare(0, head.size(), head) != 0)
      throw BadLine{2, "a left-out note that is not first=N last=M records=K"};
    auto number = [&](const char* next, std::uint64_t most, const char* what) {
      const std::size_t end = next ? line.find(next, at) : line.size();
      if (end == std::string::npos) throw BadLine{at, "a left-out note that is not first=N last=M records=K"};
      const std::uint64_t value = Decimal(line, at, end, most, what);
      at = end + (next ? std::strlen(next) : 0);
      return value;
    };
    TraceGap& gap = trace_.gap;
    gap.first = std::uint32_t(number(" last=", 0xFFFFFFFFu, "the first call left out"));
    gap.last = std::uint32_t(number(" records=", 0xFFFFFFFFu, "the last call left out"));
    gap.records = number(nullptr, std::numeric_limits<std::uint64_t>::max() / 10, "the records left out");
    gap.counted = true;
  }

  void Record(const std::string& line) {
    inHead_ = false;
    if (trace_.version < 2 && line[0] == trace::kUnreturnedMark)
      throw BadLine{0, "a \"~\" record is not in a version 1 trace"};
    TraceRecord record = RecordLine(line, trace_.version).Read();
    record.line = lineNumber_;
    if (line[0] == trace::kUnreturnedMark && !record.Has("why")) throw BadLine{0, "a \"~\" record without why="};
    if (line[0] == trace::kEntryMark) return Entry(std::move(record));
    const auto pending = pending_.find(record.number);
    if (pending == pending_.end()) {
      // In the ring, the first records may end calls begun in the gap.
      if (inRing_ && (!firstRingEntry_ || record.number < firstRingEntry_)) return;
      throw BadLine{2, "call " + std::to_string(record.number) + " ends without its entry before it"};
    }
    TraceCall& call = pending->second;
    if (call.entry.entryPoint != record.entryPoint)
      throw BadLine{2, "call " + std::to_string(record.number) + " began as " + Quoted(call.entry.entryPoint)};
    if (line[0] == trace::kUnreturnedMark) {
      call.unreturned = record.Field("why");
    } else {
      CheckFileMoved(call.entry, record);
      call.returned = true;
      call.exit = std::move(record);
    }
    EmitDone();
  }

  void Entry(TraceRecord record) {
    if (record.number <= lastEntry_)
      throw BadLine{2, "call " + std::to_string(record.number) + " after call " + std::to_string(lastEntry_)};
    for (const char* required : {"depth", "align", "cw", "slots"})
      if (!record.Has(required)) throw BadLine{0, std::string("an entry without ") + required + "="};
    lastEntry_ = record.number;
    TraceCall call;
    call.afterGap = inRing_;
    if (inRing_ && !firstRingEntry_) {
      firstRingEntry_ = record.number;
      trace_.gap.firstAfter = record.number;
    }
    call.entry = std::move(record);
    pending_.emplace(call.entry.number, std::move(call));
  }

  // The bytes read back on exit are those between the two positions.
  void CheckFileMoved(const TraceRecord& entry, const TraceRecord& exit) const {
    for (const char* required : {"depth", "eax", "edx", "pop", "cw"})
      if (!exit.Has(required)) throw BadLine{0, std::string("an exit without ") + required + "="};
    const std::string& written = exit.Field(trace::kFileRegion);
    if (written.find('+') == std::string::npos) return;
    const std::string& before = entry.Field(trace::kFileRegion);
    const std::uint64_t from = std::strtoull(before.c_str(), nullptr, 10);
    const std::uint64_t to = std::strtoull(written.c_str(), nullptr, 10);
    if (before.empty() || before == "?" || to < from || FileBytesCount(written) != to - from)
      throw BadLine{0, "file bytes that are not those between the positions on entry (" + before + ") and exit"};
  }

  void EmitDone() {
    while (!pending_.empty()) {
      TraceCall& first = pending_.begin()->second;
      if (!first.returned && first.unreturned.empty()) return;
      Emit(first);
      pending_.erase(pending_.begin());
    }
  }

  void Emit(TraceCall& call) {
    if (call_)
      call_(call);
    else
      trace_.calls.push_back(std::move(call));
  }

  TraceSource& source_;
  const std::string& name_;
  Trace& trace_;
  const std::function<void(const TraceCall&)>& call_;
  std::uint64_t lineNumber_ = 0;
  bool inHead_ = true, cap_ = false, ringHalf_ = false, firstInPart_ = true, inRing_ = false;
  std::uint64_t first_ = 0, ring_ = 0;
  std::uint32_t lastEntry_ = 0, firstRingEntry_ = 0;
  std::map<std::uint32_t, TraceCall> pending_;  // begun, in the order they began
};

}  // namespace

std::size_t TextTraceSource::ReadAt(std::uint64_t offset, char* buffer, std::size_t room) {
  if (offset >= text_.size()) return 0;
  const std::size_t count = std::min<std::size_t>(room, text_.size() - std::size_t(offset));
  std::memcpy(buffer, text_.data() + offset, count);
  return count;
}

const trace::Role* TraceArgumentRoles(const std::string& entryPoint) {
  for (const trace::ArgumentRoles& roles : trace::kArgumentRoles)
    if (entryPoint == roles.name) return roles.roles;
  return nullptr;
}

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

void ReadTrace(TraceSource& source, const std::string& name, Trace& trace,
               const std::function<void(const TraceCall&)>& call) {
  Reader(source, name, trace, call).Read();
}

Trace ParseTrace(const std::string& text, const std::string& name) {
  TextTraceSource source(text);
  Trace trace;
  ReadTrace(source, name, trace);
  return trace;
}

std::vector<unsigned char> DecodeTraceBytes(const std::string& written) {
  std::vector<unsigned char> bytes;
  try {
    const ByteCounts counts = ScanBytes(written, 0, written.size(), 0xFFFFFFFFu, true);
    bytes.reserve(std::size_t(counts.known));
  } catch (const BadLine& bad) {
    throw Failure(bad.what + " at " + std::to_string(bad.column + 1) + " of " + Quoted(written));
  }
  if (written == "-") return bytes;
  for (std::size_t at = 0; at < written.size();) {
    if (written[at] != '{') {
      bytes.push_back(static_cast<unsigned char>(HexDigit(written[at]) * 16 + HexDigit(written[at + 1])));
      at += 2;
      continue;
    }
    const std::size_t close = written.find('}', at);
    if (written[at + 1] == '?') break;
    const auto value = static_cast<unsigned char>(HexDigit(written[at + 1]) * 16 + HexDigit(written[at + 2]));
    bytes.insert(bytes.end(), std::strtoul(written.c_str() + at + 4, nullptr, 10), value);
    at = close + 1;
  }
  return bytes;
}

std::size_t UnknownTraceBytes(const std::string& written) {
  const std::size_t open = written.rfind("{??*");
  return open == std::string::npos ? 0 : std::strtoul(written.c_str() + open + 4, nullptr, 10);
}

std::string DecodeTraceText(const std::string& written) {
  std::string text;
  for (std::size_t at = 1; at + 1 < written.size(); ++at) {
    if (written[at] == '\\' && at + 3 < written.size()) {
      text += char(HexDigit(written[at + 2]) * 16 + HexDigit(written[at + 3]));
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
    file.unknown = std::uint32_t(UnknownTraceBytes(written));
    file.count = std::uint32_t(file.bytes.size()) + file.unknown;
  }
  return file;
}

}  // namespace host
