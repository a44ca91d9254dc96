#include "trace_show.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "floating_state.h"
#include "paths.h"
#include "plugin_interface.h"
#include "shown_text.h"
#include "signal_encoding.h"
#include "trace_format.h"
#include "words.h"

namespace host {
namespace {

// A block longer than this is shown cut; a support engineer wants to see
// that it is the settings, not to read 100 KB of them.
constexpr std::size_t kShownFileBytes = 200;
constexpr std::int64_t kDayMilliseconds = 24 * 3600 * 1000;

// An entry point whose 32-bit result is a number worth showing.
bool GivesNumber(const std::string& entryPoint) {
  const EntryPoint* entry = FindEntryPoint(entryPoint.c_str());
  return entry && ReturnsNumber(*entry);
}

// The slots of an entry point that are plain numbers; all of them for one
// the trace format names no buffer of.
std::vector<bool> ValueSlots(const std::string& entryPoint, std::size_t count) {
  std::vector<bool> values(count, true);
  const EntryPoint* entry = FindEntryPoint(entryPoint.c_str());
  for (std::size_t k = 0; entry && k < count && k < std::size_t(entry->stackSlots); ++k)
    values[k] = trace::RoleOf(entry->slots[k]) == trace::Role::kValue;
  return values;
}

std::string SignalHex(const unsigned char* value) {
  char text[32];
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, value, 8);
  std::memcpy(&signAndExponent, value + 8, 2);
  std::snprintf(text, sizeof text, "%04X:%016llX", signAndExponent, static_cast<unsigned long long>(significand));
  return text;
}

struct Pins {
  bool known = false;
  std::vector<std::string> inputs, outputs;
  bool operator==(const Pins& other) const { return inputs == other.inputs && outputs == other.outputs; }
};

std::string PinName(const std::vector<unsigned char>& record, std::size_t at) {
  const char* name = reinterpret_cast<const char*>(record.data() + at);
  return ShownWindows1252(std::string(name, strnlen(name, kNameSlot)));
}

Pins PinsOf(const std::vector<unsigned char>& record) {
  Pins pins;
  if (record.size() < kPinInfoSize) return pins;
  pins.known = true;
  for (int k = 0; k < record[0] && k < kMaxPins; ++k)
    pins.inputs.push_back(PinName(record, kInputNameAt + k * kNameSlot));
  for (int k = 0; k < record[1] && k < kMaxPins; ++k)
    pins.outputs.push_back(PinName(record, kOutputNameAt + k * kNameSlot));
  return pins;
}

std::string PinsWords(const Pins& pins) {
  return Counted(pins.inputs.size(), "input") + " (" + Joined(pins.inputs, ", ") + "), " +
         Counted(pins.outputs.size(), "output") + " (" + Joined(pins.outputs, ", ") + ")";
}

// "Summand A=5 V, Summand B=0 V": as many values as the part has pins,
// or as the record holds where the trace has not said how many.
std::string Levels(const std::string& written, const std::vector<std::string>& names, bool namesKnown, char letter) {
  const std::vector<unsigned char> bytes = DecodeTraceBytes(written);
  std::size_t count = bytes.size() / kSignalSize;
  if (namesKnown && names.size() < count) count = names.size();
  std::vector<std::string> levels;
  for (std::size_t k = 0; k < count; ++k) {
    const std::string name = k < names.size() && !names[k].empty() ? names[k] : letter + std::to_string(k);
    levels.push_back(name + "=" + ShownLevel(bytes.data() + k * kSignalSize));
  }
  return levels.empty() ? "none" : Joined(levels, ", ");
}

FloatingState StateOf(const TraceRecord& record) {
  FloatingState state;
  state.environment[0] = record.Number("cw");
  state.environment[2] = 0xFFFF;  // the trace holds no tag word: an empty stack on both sides
  state.withMxcsr = record.Has("mxcsr");
  state.mxcsr = record.Number("mxcsr");
  return state;
}

// "changes the x87 control word from 0x037F to 0x027F (precision 64 to
// 53 bits); exceptions unmasked: division by zero"; empty where nothing
// that counts changed.
std::string StateChange(const FloatingState& before, const FloatingState& after) {
  const std::string change = FloatingStateChange(before, after);
  if (change.empty()) return change;
  const std::string unmasked = UnmaskedExceptionsRaised(0x3F, after.ControlWord());
  return change + (unmasked.empty() ? "" : "; exceptions unmasked: " + unmasked);
}

// Milliseconds since 1970 of "YYYY-MM-DD HH:MM:SS"; -1 for anything else.
std::int64_t StartOf(const std::string& started) {
  int year, month, day, hour, minute, second;
  char end;
  if (std::sscanf(started.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute, &second, &end) !=
      6)
    return -1;
  // Days from the civil date, counting years from March.
  const int y = year - (month <= 2), era = (y >= 0 ? y : y - 399) / 400, yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t days =
      std::int64_t(era) * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
  return ((days * 24 + hour) * 60 + minute) * 60000 + second * 1000;
}

std::string TimeOfDay(std::int64_t milliseconds) {
  const std::int64_t inDay = (milliseconds % kDayMilliseconds + kDayMilliseconds) % kDayMilliseconds;
  char text[24];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", int(inDay / 3600000), int(inDay / 60000 % 60),
                int(inDay / 1000 % 60), int(inDay % 1000));
  return text;
}

std::string HeadValue(const Trace& trace, const char* key) {
  const auto found = trace.head.find(key);
  return found == trace.head.end() ? "?" : ShownWindows1252(found->second);
}

// One trace told call by call, its part's pins and placed instances
// followed as the calls show them.
class TraceWords {
 public:
  explicit TraceWords(const NamedTrace& named)
      : named_(named), trace_(named.trace), start_(StartOf(HeadValueRaw(trace::kStartedKey))) {
    part_ = FileName(HeadValueRaw(trace::kPartKey));
    if (part_.size() > 4 &&
        (part_.compare(part_.size() - 4, 4, ".dll") == 0 || part_.compare(part_.size() - 4, 4, ".DLL") == 0))
      part_.erase(part_.size() - 4);
    part_ = ShownWindows1252(part_.empty() ? "?" : part_);
  }

  void SayHead(const std::function<void(const std::string&)>& say) const {
    say(ShownWindows1252(named_.name) + ": the part " + HeadValue(trace_, trace::kPartKey) + ", version " +
        HeadValue(trace_, trace::kPartVersionKey) + ", SHA-256 " + HeadValue(trace_, trace::kPartSha256Key));
    say("  recorded by recorder " + HeadValue(trace_, trace::kRecorderKey) + " on Windows " +
        HeadValue(trace_, trace::kWindowsKey) + ", SSE " + HeadValue(trace_, trace::kSseKey) + ", in process " +
        HeadValue(trace_, trace::kProcessKey) + ", from " + HeadValue(trace_, trace::kStartedKey));
    if (trace_.head.count(trace::kCapKey)) {
      unsigned long first = 0, ring = 0;
      std::sscanf(trace_.head.at(trace::kCapKey).c_str(), "%lu %lu", &first, &ring);
      say("  capped: it keeps its first " + Counted(first, "byte") + " and a ring of " + Counted(ring, "byte") +
          " for its last records");
    }
    for (const std::string& note : trace_.notes)
      if (note.rfind(trace::kRingNote, 0) != 0 && note.rfind(trace::kLeftOutNote, 0) != 0)
        say("  the recorder noted: " + ShownWindows1252(note));
    if (trace_.notesNotKept) say("  and " + Counted(trace_.notesNotKept, "note") + " more");
  }

  bool Done() const { return next_ >= trace_.calls.size(); }
  std::int64_t NextTime() const { return TimeOf(trace_.calls[next_].entry); }

  void SayNext(const std::function<void(const std::string&)>& say) {
    const TraceCall& call = trace_.calls[next_];
    if (next_ == 0) SayHead(say);
    if (call.afterGap) SayGap(say);
    say(TimeOfDay(TimeOf(call.entry)) + "  " + part_ + Instance(call) + " " + call.entry.entryPoint + " (call " +
        std::to_string(call.entry.number) + ")" + Details(call));
    for (const std::string& change : StateChanges(call)) say("    " + change);
    if (ExitLeftOut(call)) {
      say("    its exit is among the records the cap left out");
    } else if (!call.returned) {
      ++unreturned_;
      say("    did not return: " + NotReturned(call));
    }
    ++next_;
  }

  void SayEnd(const std::function<void(const std::string&)>& say) {
    if (trace_.calls.empty()) SayHead(say);
    SayGap(say);
    say(part_ + ": " + Counted(trace_.calls.size(), "call") + ", " + std::to_string(unreturned_) +
        " of them not returned, " + Counted(LeftOutCalls(), "call") + " left out by the cap (" + named_.name + ")");
  }

 private:
  std::string HeadValueRaw(const char* key) const {
    const auto found = trace_.head.find(key);
    return found == trace_.head.end() ? std::string() : found->second;
  }

  std::int64_t TimeOf(const TraceRecord& record) const { return (start_ < 0 ? 0 : start_) + record.milliseconds; }

  // A call begun in the first part whose exit fell in the gap.
  bool ExitLeftOut(const TraceCall& call) const {
    return !call.returned && call.unreturned.empty() && trace_.gap.present && !call.afterGap;
  }

  std::string NotReturned(const TraceCall& call) const {
    if (call.unreturned == trace::kUnreturnedUnload) return "the recorder was unloaded while it was under way";
    if (call.unreturned != trace::kUnreturnedNext) return "the trace ends before its exit";
    if (next_ + 1 < trace_.calls.size())
      return "the host went on with call " + std::to_string(trace_.calls[next_ + 1].entry.number);
    return "the host went on with another call";
  }

  // Once, before the first call of the ring, or at the end where the ring
  // holds none begun.
  void SayGap(const std::function<void(const std::string&)>& say) {
    if (!trace_.gap.present || gapSaid_) return;
    gapSaid_ = true;
    say("  ... the cap left out " + GapWords());
  }

  // The recorder's own count where the trace holds it; else what the
  // calls on either side of the gap bound (the trace of a host that died
  // before it said).
  std::string GapWords() const {
    const TraceGap& gap = trace_.gap;
    if (gap.counted)
      return "calls " + std::to_string(gap.first) + " to " + std::to_string(gap.last) + " (" +
             Counted(gap.records, "record") + ")";
    if (gap.firstAfter > gap.lastBefore + 1)
      return "calls " + std::to_string(gap.lastBefore + 1) + " to " + std::to_string(gap.firstAfter - 1);
    return "records after call " + std::to_string(gap.lastBefore);
  }

  std::size_t LeftOutCalls() const {
    const TraceGap& gap = trace_.gap;
    if (gap.counted) return gap.last >= gap.first ? gap.last - gap.first + 1 : 0;
    return gap.present && gap.firstAfter > gap.lastBefore + 1 ? gap.firstAfter - gap.lastBefore - 1 : 0;
  }

  // " #2" for the second instance placed; "" for a call to the part as a
  // whole.
  std::string Instance(const TraceCall& call) {
    if (!call.entry.Has(trace::kSlotRegion)) return "";
    if (call.entry.entryPoint == HOST_LISTED(InitUserDLL)) {
      if (!call.returned) return " (being placed)";
      instances_[call.exit.Field(trace::kSlotRegion)] = ++placed_;
      return " #" + std::to_string(placed_);
    }
    const auto found = instances_.find(call.entry.Field(trace::kSlotRegion));
    if (found == instances_.end()) return " #? (placed before the trace's records)";
    return " #" + std::to_string(found->second);
  }

  std::string Details(const TraceCall& call) {
    std::vector<std::string> words;
    const TraceRecord& entry = call.entry;
    if (entry.Field("slots") == "?") words.push_back("an export the interface does not know, arguments unknown");
    const std::string values = Values(entry);
    if (!values.empty()) words.push_back(values);
    if (entry.Has(trace::kInputsRegion))
      words.push_back("in " + Levels(entry.Field(trace::kInputsRegion), pins_.inputs, pins_.known, 'i'));
    if (call.returned) AddResults(call, words);
    return words.empty() ? "" : ": " + Joined(words, "; ");
  }

  std::string Values(const TraceRecord& entry) const {
    const std::vector<std::uint32_t> slots = entry.Slots();
    const std::vector<bool> isValue = ValueSlots(entry.entryPoint, slots.size());
    std::vector<std::string> values;
    bool anyButZero = false, onlyValues = true;
    for (std::size_t k = 0; k < slots.size(); ++k) {
      onlyValues = onlyValues && isValue[k];
      if (!isValue[k]) continue;
      values.push_back(std::to_string(slots[k]));
      anyButZero = anyButZero || slots[k] != 0;
    }
    return !values.empty() && (anyButZero || onlyValues) ? "values " + Joined(values, ", ") : "";
  }

  void AddResults(const TraceCall& call, std::vector<std::string>& words) {
    const TraceRecord& exit = call.exit;
    const std::string& name = call.entry.entryPoint;
    if (exit.Has(trace::kPinsRegion)) {
      const Pins pins = PinsOf(DecodeTraceBytes(exit.Field(trace::kPinsRegion)));
      words.push_back(name == HOST_LISTED(GetNumberOfInputsOutputs2) || !(pins == pins_) ? PinsWords(pins)
                                                                                         : "pins unchanged");
      if (pins.known) pins_ = pins;
    }
    if (exit.Has(trace::kOutputsRegion))
      words.push_back("out " + Levels(exit.Field(trace::kOutputsRegion), pins_.outputs, pins_.known, 'o'));
    if (exit.Has(trace::kTextField))
      words.push_back("text " + Quoted(DecodeTraceText(exit.Field(trace::kTextField)), TextEncoding::kWindows1252));
    if (exit.Has(trace::kFileRegion)) words.push_back(FileWords(name, call));
    for (const char* region : {trace::kParametersRegion, trace::kEnablesRegion})
      if (exit.Has(region)) words.push_back(std::string(region) + " " + exit.Field(region));
    if (GivesNumber(name)) words.push_back("result " + std::to_string(std::int32_t(exit.Number("eax"))));
    if (name == HOST_LISTED(CallParameterDialogDLL))
      words.push_back("open for " + std::to_string(exit.milliseconds - call.entry.milliseconds) + " ms");
  }

  static std::string FileWords(const std::string& name, const TraceCall& call) {
    const TraceFilePosition before = DecodeTraceFile(call.entry.Field(trace::kFileRegion));
    const TraceFilePosition after = DecodeTraceFile(call.exit.Field(trace::kFileRegion));
    const std::string verb = name == HOST_LISTED(WriteToFile)    ? "wrote "
                             : name == HOST_LISTED(ReadFromFile) ? "read "
                                                                 : "moved over ";
    const std::string at = before.known ? " at " + std::to_string(before.position) : "";
    if (after.hasBytes) return verb + ShownFileText(after.bytes, after.unknown) + at;
    if (after.known && after.count) return verb + Counted(after.count, "byte") + at + " (not read back)";
    return "file position " + (after.known ? std::to_string(after.position) : std::string("unknown"));
  }

  std::vector<std::string> StateChanges(const TraceCall& call) {
    std::vector<std::string> changes;
    const FloatingState entry = StateOf(call.entry);
    const std::string byHost = StateChange(hostState_, entry);
    if (!byHost.empty()) changes.push_back("the host " + byHost);
    hostState_ = entry;
    if (!call.returned) return changes;
    const std::string byPart = StateChange(entry, StateOf(call.exit));
    if (!byPart.empty()) changes.push_back("the part " + byPart);
    hostState_ = StateOf(call.exit);
    return changes;
  }

  static FloatingState HostDefault() {
    TraceRecord record;
    record.fields["cw"] = "037f";
    return StateOf(record);
  }

  const NamedTrace& named_;
  const Trace& trace_;
  const std::int64_t start_;
  std::string part_;
  std::size_t next_ = 0;
  std::size_t unreturned_ = 0;
  bool gapSaid_ = false;
  Pins pins_;
  std::map<std::string, int> instances_;
  int placed_ = 0;
  // What the host's floating-point state was last seen as; a host built
  // for the x87 starts at 0x037F.
  FloatingState hostState_ = HostDefault();
};

}  // namespace

std::string ShownLevel(const unsigned char* value) {
  if (std::memcmp(value, kFiveVolts, kSignalSize) == 0) return "5 V";
  if (std::memcmp(value, kZeroVolts, kSignalSize) == 0) return "0 V";
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, value, 8);
  std::memcpy(&signAndExponent, value + 8, 2);
  const bool negative = signAndExponent & 0x8000;
  const int exponent = signAndExponent & 0x7FFF;
  const std::string level = SignalIsHigh(value) ? " (high)" : " (low)";
  if (exponent == 0x7FFF)
    return (significand == 1ull << 63 ? std::string(negative ? "-inf V" : "+inf V") : "NaN " + SignalHex(value)) +
           level;
  if (exponent != 0 && !(significand >> 63)) return "unnormal " + SignalHex(value) + level;
  if (significand == 0) return (negative ? "-0 V" : "0 V") + level;
  // A denormal's exponent is that of the smallest normal. Beyond a
  // double's range, the bytes.
  const int power = (exponent ? exponent : 1) - 16383 - 63;
  int top = 63;
  while (!(significand >> top)) --top;
  if (power + top < -1074) return "tiny " + SignalHex(value) + level;
  if (power + top > 1023) return "huge " + SignalHex(value) + level;
  const double volts = std::ldexp(double(significand), power);
  char text[40];
  std::snprintf(text, sizeof text, "%.6g V", negative ? -volts : volts);
  return text + level;
}

std::string ShownFileText(const std::vector<unsigned char>& bytes, std::size_t leftOut) {
  const std::size_t count = bytes.size() < kShownFileBytes ? bytes.size() : kShownFileBytes;
  const std::string shown = ShownWithLineEnds(std::string(bytes.begin(), bytes.begin() + count));
  const std::string size = Counted(bytes.size() + leftOut, "byte") +
                           (leftOut ? ", the last " + std::to_string(leftOut) + " left out by the recorder" : "");
  return "\"" + shown + (count < bytes.size() || leftOut ? "…\"" : "\"") + " (" + size + ")";
}

void ShowTraces(const std::vector<NamedTrace>& traces, const std::function<void(const std::string&)>& say) {
  std::vector<TraceWords> words;
  for (const NamedTrace& trace : traces) words.emplace_back(trace);
  for (;;) {
    TraceWords* earliest = nullptr;
    for (TraceWords& trace : words)
      if (!trace.Done() && (!earliest || trace.NextTime() < earliest->NextTime())) earliest = &trace;
    if (!earliest) break;
    earliest->SayNext(say);
  }
  for (TraceWords& trace : words) trace.SayEnd(say);
}

}  // namespace host
