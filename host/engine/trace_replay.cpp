#include "trace_replay.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "dialog_closer.h"
#include "floating_state.h"
#include "host_file.h"
#include "host_window.h"
#include "part_instance.h"
#include "stdcall_probe.h"
#include "trace_format.h"
#include "words.h"

namespace host {
namespace {

enum class ResultKind { kNone, kNumber, kText, kBuffer };
ResultKind ResultKindOf(const std::string& name) {
  const EntryPoint* entry = FindEntryPoint(name.c_str());
  if (!entry) return ResultKind::kNone;
  if (ReturnsText(*entry)) return ResultKind::kText;
  if (ReturnsNumber(*entry)) return ResultKind::kNumber;
  if (entry->returns == entry_point::kItsAddress) return ResultKind::kBuffer;
  return ResultKind::kNone;
}

bool InTheInterface(const std::string& name) { return FindEntryPoint(name.c_str()) != nullptr; }

// The bytes the host's buffers start with where the trace holds fewer.
constexpr unsigned char kPinFill = 0xCD, kSignalFill = SignalArray::kFill, kSmallFill = 0xAB;
constexpr std::size_t kSmallRoom = 64;
// Bytes after a block to be read, so that a reader that reads past what
// the recorded one read ends elsewhere.
const std::string kFileTail(64, '#');

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*lx", digits, static_cast<unsigned long>(value));
  return text;
}

std::string HexBytes(const std::vector<unsigned char>& bytes, std::size_t from, std::size_t count) {
  std::string text;
  for (std::size_t k = from; k < bytes.size() && k < from + count; ++k)
    text += (k > from ? " " : "") + Hex(bytes[k], 2);
  return text.empty() ? "(none)" : text;
}

// "out bytes 10 to 19 of 20: recorded ..., replayed ...", from the value
// (`unit` bytes) that holds the first difference; empty where they agree.
std::string CompareBytes(const std::string& region, const std::vector<unsigned char>& recorded,
                         const std::vector<unsigned char>& replayed, std::size_t unit) {
  const std::size_t count = std::min(recorded.size(), replayed.size());
  std::size_t first = 0;
  while (first < count && recorded[first] == replayed[first]) ++first;
  if (first == count && recorded.size() <= replayed.size()) return {};
  const std::size_t from = first / unit * unit, shown = std::max<std::size_t>(unit, 8);
  return region + " bytes " + std::to_string(from) + " to " +
         std::to_string(std::min(from + shown, recorded.size()) - 1) + " of " + std::to_string(recorded.size()) +
         ": recorded " + HexBytes(recorded, from, shown) + ", replayed " + HexBytes(replayed, from, shown);
}

std::uint32_t Word(const std::vector<unsigned char>& bytes) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data(), std::min<std::size_t>(4, bytes.size()));
  return value;
}

// The recorded floating-point state, the part's for one call: loaded
// before the call and the host's own put back after it, however it ends.
// The fault guard inside judges the call against the recorded state.
class InRecordedState {
 public:
  InRecordedState(std::uint16_t controlWord, bool withMxcsr, std::uint32_t mxcsr) : host_(ReadFloatingState()) {
    LoadControlWord(controlWord);
    if (withMxcsr) asm volatile("ldmxcsr %0" ::"m"(mxcsr));
  }
  ~InRecordedState() { PutFloatingState(host_); }
  InRecordedState(const InRecordedState&) = delete;
  InRecordedState& operator=(const InRecordedState&) = delete;

 private:
  FloatingState host_;
};

// The trace does not hold what was clicked: the dialog is cancelled
// `seconds` after it appears, as a click on its Cancel button would.
DialogPlan CancelAfter(double seconds) {
  DialogPlan plan;
  plan.waitSeconds = seconds;
  plan.afterWait = [](HWND dialog) { Leave(dialog, DialogExit::kCancel); };
  return plan;
}

// A file region's position alone; 0 where it is unknown.
std::uint32_t PositionIn(const std::string& written) {
  return std::uint32_t(std::strtoul(written.c_str(), nullptr, 10));
}

// The buffers of one call, made from its entry record.
struct CallBuffers {
  std::vector<unsigned char> pins, in, out, small;
  HostFile file;
  std::uint32_t fileStart = 0;
};

std::vector<unsigned char> Filled(std::size_t size, unsigned char fill, const std::vector<unsigned char>& recorded) {
  std::vector<unsigned char> bytes(std::max(size, recorded.size()), fill);
  std::copy(recorded.begin(), recorded.end(), bytes.begin());
  return bytes;
}

// Where a recorded file position lies beyond this, the call is not made:
// replay would need a scratch file as long.
constexpr std::uint32_t kMaxScratchPosition = 16u << 20;

}  // namespace

class TraceReplay::State {
 public:
  State(const PluginLibrary& library, double dialogSeconds, const std::function<void(const std::string&)>& say)
      : library_(library), dialogSeconds_(dialogSeconds), say_(say) {}

  void Take(const TraceCall& call) {
    if (held_) NotMade(*held_);
    held_.reset();
    if (call.afterGap) return AfterGap(call);
    if (!call.returned)
      held_ = std::make_unique<TraceCall>(call);
    else
      Call(call);
  }

  ReplayOutcome Finish() {
    if (held_) Call(*held_);
    held_.reset();
    if (afterGap_)
      say_("not replayed: " + Counted(afterGap_, "call") + " from call " + std::to_string(firstAfterGap_) +
           " on, begun after the cap's gap: the calls left out made the part's state they found");
    return outcome_;
  }

 private:
  void AfterGap(const TraceCall& call) {
    if (!afterGap_++) firstAfterGap_ = call.entry.number;
  }

  void NotMade(const TraceCall& call) {
    const std::string why =
        call.unreturned.empty() ? "the trace holds no return of it" : "it never returned (" + call.unreturned + ")";
    Note(call, "not replayed: " + why +
                   ", and calls follow it: what it left behind is unknown, so later differences may come from it");
  }

  void Note(const TraceCall& call, const std::string& text) {
    say_("call " + std::to_string(call.entry.number) + " " + call.entry.entryPoint + ": " + text);
  }

  // The first difference within the call is the one reported.
  void Differs(const std::string& what) {
    if (differs_.empty()) differs_ = what;
  }

  // Made with the first record that names one, and kept for the others.
  HWND Window() {
    if (!window_) window_ = std::make_unique<HostWindow>("hostsim replay");
    return window_->Handle();
  }

  HostRecord& RecordFor(std::uint32_t recorded, bool withWindow) {
    auto& record = records_[recorded];
    if (!record) record = std::make_unique<HostRecord>(withWindow ? Window() : nullptr);
    return *record;
  }

  // The instance slot as the part would find it: the replayed part's own
  // pointer for one the recorded part made, else the recorded bytes.
  void PrepareSlot(unsigned char* record, std::uint32_t recordedSlot) {
    const auto mapped = instances_.find(recordedSlot);
    const std::uint32_t value = mapped == instances_.end() ? recordedSlot : mapped->second;
    std::memcpy(record + kInstanceSlotAt, &value, 4);
  }

  void CompareSlot(std::uint32_t recordedBefore, std::uint32_t recordedAfter, std::uint32_t replayedBefore,
                   std::uint32_t replayedAfter) {
    const bool recordedChanged = recordedAfter != recordedBefore, replayedChanged = replayedAfter != replayedBefore;
    const auto mapped = instances_.find(recordedAfter);
    std::string what;
    if (recordedChanged != replayedChanged) {
      what = recordedChanged ? "the instance slot is left as it was" : "the instance slot is written";
    } else if (recordedChanged && recordedAfter == 0 && replayedAfter != 0) {
      what = "the instance slot is not emptied";
    } else if (recordedChanged && recordedAfter == 0) {
      instances_.erase(recordedBefore);  // freed: the next instance placed may get its address
    } else if (recordedChanged && mapped != instances_.end() && mapped->second != replayedAfter) {
      what = "the instance slot holds another instance";
    } else if (recordedChanged && recordedAfter != 0 && mapped == instances_.end()) {
      instances_[recordedAfter] = replayedAfter;
    }
    if (!what.empty())
      Differs(what + ": recorded " + Hex(recordedBefore, 8) + " -> " + Hex(recordedAfter, 8) + ", replayed " +
              Hex(replayedBefore, 8) + " -> " + Hex(replayedAfter, 8));
  }

  void PrepareFile(const TraceCall& call, CallBuffers& buffers, bool reads) {
    const TraceFilePosition before = DecodeTraceFile(call.entry.Field(trace::kFileRegion));
    const TraceFilePosition after = DecodeTraceFile(call.exit.Field(trace::kFileRegion));
    buffers.file.CreateScratch();
    buffers.fileStart = before.known ? before.position : 0;
    std::string content(buffers.fileStart, ' ');
    if (reads) content += std::string(after.bytes.begin(), after.bytes.end()) + kFileTail;
    buffers.file.Write(content);
    buffers.file.Seek(long(buffers.fileStart));
  }

  void CompareFile(const TraceCall& call, CallBuffers& buffers) {
    const TraceFilePosition recorded = DecodeTraceFile(call.exit.Field(trace::kFileRegion));
    if (!recorded.known) return;
    const long position = buffers.file.Position();
    buffers.file.Seek(long(buffers.fileStart));
    const std::string rest = buffers.file.ReadRest();
    const std::size_t moved = std::size_t(position) - buffers.fileStart;
    const std::vector<unsigned char> replayed(rest.begin(), rest.begin() + std::min(moved, rest.size()));
    if (position != long(recorded.position)) {
      Differs("the file position moves by " + std::to_string(moved) + " bytes, recorded " +
              std::to_string(recorded.position - buffers.fileStart) +
              (recorded.hasBytes ? "; " + CompareBytes("file", recorded.bytes, replayed, 1) : ""));
    } else if (recorded.hasBytes) {
      const std::string bytes = CompareBytes("file", recorded.bytes, replayed, 1);
      if (!bytes.empty()) Differs(bytes);
    }
  }

  void CompareResult(const TraceCall& call, const ProbeResult& result, const std::vector<std::uint32_t>& arguments,
                     const std::vector<std::uint32_t>& recordedSlots) {
    const std::uint32_t recorded = call.exit.Number("eax");
    switch (ResultKindOf(call.entry.entryPoint)) {
      case ResultKind::kNumber:
        if (recorded != result.eax) Differs("the result is " + Hex(result.eax, 8) + ", recorded " + Hex(recorded, 8));
        break;
      case ResultKind::kBuffer:
        if ((recorded == recordedSlots[0]) != (result.eax == arguments[0]))
          Differs(std::string("the result is ") + (result.eax == arguments[0] ? "" : "not ") +
                  "the buffer it was given, recorded the other way");
        break;
      case ResultKind::kText: {
        const std::string recordedText = DecodeTraceText(call.exit.Field(trace::kTextField));
        const char* text = reinterpret_cast<const char*>(std::uintptr_t(result.eax));
        const std::string replayed = text ? std::string(text, strnlen(text, trace::kMaxText)) : "";
        if (replayed != recordedText) Differs("the text is \"" + replayed + "\", recorded \"" + recordedText + "\"");
        break;
      }
      case ResultKind::kNone:
        break;
    }
  }

  void CompareRegion(const TraceCall& call, const char* region, const std::vector<unsigned char>& replayed,
                     std::size_t unit) {
    if (!call.exit.Has(region)) return;
    const std::vector<unsigned char> recorded = DecodeTraceBytes(call.exit.Field(region));
    const std::string bytes = CompareBytes(region, recorded, replayed, unit);
    if (!bytes.empty()) Differs(bytes);
  }

  void Call(const TraceCall& call) {
    const TraceRecord& entry = call.entry;
    const std::string& name = entry.entryPoint;
    const std::vector<std::uint32_t> slots = entry.Slots();
    const void* function = library_.Find(name.c_str());
    differs_.clear();
    if (!InTheInterface(name)) return Note(call, "not replayed: an export the interface does not describe");
    if (entry.Field("depth") != "0")
      Note(call, "came inside an earlier call (while the part's dialog was open, say); replayed after it");
    ++outcome_.replayed;
    if (!function) return Count(call, "the DLL does not export " + name);
    const trace::Role* roles = TraceArgumentRoles(name);
    CallBuffers buffers;
    std::vector<std::uint32_t> arguments = slots;
    std::vector<std::uint32_t> slotBefore(slots.size());
    for (std::size_t k = 0; k < slots.size(); ++k) {
      const trace::Role role = roles ? roles[k] : trace::Role::kValue;
      if (role == trace::Role::kRecord) {
        const std::uint32_t window = Word(DecodeTraceBytes(entry.Field(trace::kWindowRegion)));
        if (window && !windowNoted_) {
          windowNoted_ = true;
          Note(call, "the host's window " + Hex(window, 8) + " is replayed as a window of hostsim's");
        }
        HostRecord& record = RecordFor(slots[k], window != 0);
        PrepareSlot(record.Data(), Word(DecodeTraceBytes(entry.Field(trace::kSlotRegion))));
        std::memcpy(&slotBefore[k], record.Data() + kInstanceSlotAt, 4);
        arguments[k] = std::uint32_t(std::uintptr_t(record.Data()));
      } else if (role == trace::Role::kPins) {
        buffers.pins = Filled(kPinInfoSize, kPinFill, DecodeTraceBytes(entry.Field(trace::kPinsRegion)));
        arguments[k] = std::uint32_t(std::uintptr_t(buffers.pins.data()));
      } else if (role == trace::Role::kInputs) {
        buffers.in = Filled(sizeof(SignalArray), kSignalFill, DecodeTraceBytes(entry.Field(trace::kInputsRegion)));
        arguments[k] = std::uint32_t(std::uintptr_t(buffers.in.data()));
      } else if (role == trace::Role::kOutputs) {
        buffers.out = Filled(sizeof(SignalArray), kSignalFill, DecodeTraceBytes(entry.Field(trace::kOutputsRegion)));
        arguments[k] = std::uint32_t(std::uintptr_t(buffers.out.data()));
      } else if (role == trace::Role::kParameters || role == trace::Role::kEnables) {
        const char* region = role == trace::Role::kParameters ? trace::kParametersRegion : trace::kEnablesRegion;
        buffers.small = Filled(kSmallRoom, kSmallFill, DecodeTraceBytes(entry.Field(region)));
        arguments[k] = std::uint32_t(std::uintptr_t(buffers.small.data()));
      } else if (role == trace::Role::kFile) {
        const bool reads = name == HOST_LISTED(ReadFromFile);
        // Checked before the bytes are decoded: they are as many as the
        // positions are apart.
        const std::uint32_t farthest =
            std::max(PositionIn(entry.Field(trace::kFileRegion)), PositionIn(call.exit.Field(trace::kFileRegion)));
        if (farthest > kMaxScratchPosition) {
          --outcome_.replayed;
          return Note(call, "not replayed: the file position " + std::to_string(farthest) + " lies beyond the " +
                                std::to_string(kMaxScratchPosition >> 20) + " MB a scratch file of replay holds");
        }
        const TraceFilePosition after = DecodeTraceFile(call.exit.Field(trace::kFileRegion));
        if (reads && (!call.returned || (after.count && !after.hasBytes) || after.unknown)) {
          --outcome_.replayed;
          return Note(call, "not replayed: the trace does not hold all the bytes the part read");
        }
        PrepareFile(call, buffers, reads);
        arguments[k] = (slots[k] & 0xFFFF0000u) | (buffers.file.Argument() & 0xFFFFu);
      }
    }
    const bool withMxcsr = entry.Has("mxcsr") && ProcessorHasSse();
    const bool dialog = name == HOST_LISTED(CallParameterDialogDLL);
    std::unique_ptr<DialogCloser> closer;
    if (dialog) {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%g", dialogSeconds_);
      Note(call, std::string("the dialog is cancelled by hostsim after ") + seconds +
                     " s: the trace does not hold what was clicked");
      closer = std::make_unique<DialogCloser>(CancelAfter(dialogSeconds_));
    }
    ProbeResult result{};
    FloatingState left;
    {
      const InRecordedState recorded(std::uint16_t(entry.Number("cw")), withMxcsr, entry.Number("mxcsr"));
      library_.Call(
          name.c_str(),
          [&] { result = CallStdcall(function, arguments.data(), int(arguments.size()), int(entry.Number("align"))); },
          !dialog);
      left = ReadFloatingState();
    }
    closer.reset();
    if (!call.returned)
      return Note(call, call.unreturned.empty() ? "the trace ends inside this call: nothing to compare"
                                                : "it never returned when recorded (" + call.unreturned +
                                                      "), nor did the trace go on: made again, nothing to compare");
    Compare(call, buffers, roles, slots, arguments, slotBefore, result, left);
    if (!differs_.empty()) Count(call, differs_);
  }

  void Compare(const TraceCall& call, CallBuffers& buffers, const trace::Role* roles,
               const std::vector<std::uint32_t>& slots, const std::vector<std::uint32_t>& arguments,
               const std::vector<std::uint32_t>& slotBefore, const ProbeResult& result, const FloatingState& left) {
    const TraceRecord& exit = call.exit;
    const std::uint32_t pop = std::uint32_t(4 * slots.size() - result.stackImbalance);
    if (std::to_string(pop) != exit.Field("pop"))
      Differs("takes " + std::to_string(pop) + " bytes off the stack, recorded " + exit.Field("pop"));
    if (left.ControlWord() != exit.Number("cw"))
      Differs("leaves the x87 control word " + Hex(left.ControlWord(), 4) + ", recorded " + exit.Field("cw"));
    if (left.withMxcsr && call.entry.Has("mxcsr") && exit.Has("mxcsr") && left.mxcsr != exit.Number("mxcsr"))
      Differs("leaves the MXCSR " + Hex(left.mxcsr, 8) + ", recorded " + exit.Field("mxcsr"));
    CompareResult(call, result, arguments, slots);
    for (std::size_t k = 0; k < slots.size() && roles; ++k) {
      if (roles[k] == trace::Role::kRecord) {
        const auto* record = reinterpret_cast<const unsigned char*>(std::uintptr_t(arguments[k]));
        std::uint32_t after;
        std::memcpy(&after, record + kInstanceSlotAt, 4);
        CompareSlot(Word(DecodeTraceBytes(call.entry.Field(trace::kSlotRegion))),
                    Word(DecodeTraceBytes(exit.Field(trace::kSlotRegion))), slotBefore[k], after);
      } else if (roles[k] == trace::Role::kPins) {
        CompareRegion(call, trace::kPinsRegion, buffers.pins, 1);
      } else if (roles[k] == trace::Role::kOutputs) {
        CompareRegion(call, trace::kOutputsRegion, buffers.out, kSignalSize);
      } else if (roles[k] == trace::Role::kParameters) {
        CompareRegion(call, trace::kParametersRegion, buffers.small, 1);
      } else if (roles[k] == trace::Role::kEnables) {
        CompareRegion(call, trace::kEnablesRegion, buffers.small, 1);
      } else if (roles[k] == trace::Role::kFile) {
        CompareFile(call, buffers);
      }
    }
  }

  void Count(const TraceCall& call, const std::string& what) {
    if (outcome_.differing++ == 0)
      say_("first difference: call " + std::to_string(call.entry.number) + " " + call.entry.entryPoint + ": " + what);
    else
      say_("also differs: call " + std::to_string(call.entry.number) + " " + call.entry.entryPoint + ": " + what);
  }

  const PluginLibrary& library_;
  double dialogSeconds_;
  std::function<void(const std::string&)> say_;
  std::unique_ptr<HostWindow> window_;  // outlives the records that name it
  std::map<std::uint32_t, std::unique_ptr<HostRecord>> records_;
  std::map<std::uint32_t, std::uint32_t> instances_;  // recorded -> replayed
  bool windowNoted_ = false;
  std::string differs_;
  ReplayOutcome outcome_;
  std::unique_ptr<TraceCall> held_;  // a call that never returned, made only where none follows
  std::size_t afterGap_ = 0;
  std::uint32_t firstAfterGap_ = 0;
};

TraceReplay::TraceReplay(const PluginLibrary& library, double dialogSeconds,
                         const std::function<void(const std::string&)>& say)
    : state_(std::make_unique<State>(library, dialogSeconds, say)) {}
TraceReplay::~TraceReplay() = default;
void TraceReplay::Call(const TraceCall& call) { state_->Take(call); }
ReplayOutcome TraceReplay::Finish() { return state_->Finish(); }

}  // namespace host
