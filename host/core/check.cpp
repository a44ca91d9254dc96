#include "check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>

#include "export_table.h"
#include "failure.h"
#include "floating_state.h"
#include "fuzz_input.h"
#include "host_file.h"
#include "input_codes.h"
#include "interface_rules.h"
#include "placed_part.h"
#include "plugin_interface.h"
#include "plugin_library.h"
#include "signal_encoding.h"
#include "stdcall_probe.h"
#include "text.h"

namespace host {
namespace {

constexpr unsigned char kPinFill = 0xFF;

std::uint32_t Address(const void* pointer) { return std::uint32_t(reinterpret_cast<std::uintptr_t>(pointer)); }

// A host built by another compiler may run with x87 exceptions unmasked:
// invalid operation, division by zero and overflow (64-bit precision,
// rounding to nearest).
constexpr std::uint16_t kUnmaskedControlWord = 0x1332;

std::string HexWord(std::uint16_t word) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", unsigned(word));
  return text;
}

// What went wrong in an evaluation under `controlWord` (as the processor
// kept it): a trap, a changed state, or where nothing trapped (an emulated
// x87) an unmasked exception the status word shows; empty where nothing.
std::string UnmaskedEvaluationProblem(const Fault& fault, std::uint16_t statusWord, std::uint16_t controlWord) {
  if (fault.happened) return "traps: " + DescribeFault(fault);
  if (!fault.floatingChange.empty()) return fault.floatingChange;
  const std::string raised = UnmaskedExceptionsRaised(statusWord, controlWord);
  if (raised.empty()) return {};
  return "raises " + raised + ", unmasked by the control word " + HexWord(controlWord) + " (status word " +
         HexWord(statusWord) + ")";
}

// A settings block with every 0 made 1 and every 1 made 0: a change of
// settings any plug-in that stores flags as digits accepts.
std::string FlippedBlock(const std::string& block) {
  std::string settings = block.substr(0, block.size() - kEndMarker.size());
  for (char& c : settings) c = c == '0' ? '1' : c == '1' ? '0' : c;
  return settings + kEndMarker;
}

class Checker {
 public:
  Checker(const std::string& path, FaultGuard& guard, const CheckOutput& output, const CheckFrom& from)
      : path_(path), guard_(guard), output_(output), from_(from) {}

  CheckReport Run() {
    report_.dll = LocateDll(path_);
    try {
      library_.Load(report_.dll);
    } catch (const Failure& failure) {
      // A DLL that lacks entry points is judged on what it has.
      if (!library_.Loaded()) {
        Add(CheckLine::kFinding, "load", failure.what());
        PrintHeading();
        return report_;
      }
    }
    if (from_.area.empty()) {
      ReadDisplayName();
      PrintHeading();
    }
    Area("exports", &Checker::CheckExports);
    Area("stack", &Checker::CheckStackCleanup);
    Area("pins", &Checker::CheckPinRecord);
    if (library_.InitUserDLL && library_.DisposeUserDLL) {
      Area("labels", &Checker::CheckLabels);
      Area("outputs", &Checker::CheckOutputs);
      Area("record", &Checker::CheckHostRecord);
      Area("persistence", &Checker::CheckPersistence);
      Area("instances", &Checker::CheckInstances);
      Area("floating-point", &Checker::CheckFloatingPoint);
    } else if (Reached("instances")) {
      Add(CheckLine::kNote, "instances",
          "nothing checked that needs a placed part: InitUserDLL or DisposeUserDLL missing");
      PrintLines();
    }
    return report_;
  }

 private:
  // ---- bookkeeping
  void Add(CheckLine::Kind kind, const std::string& area, const std::string& text) {
    if (kind == CheckLine::kFinding && !seen_.insert(area + text).second) return;
    report_.lines.push_back({kind, area, text});
  }
  void Finding(const std::string& text) { Add(CheckLine::kFinding, area_, text); }
  void Note(const std::string& text) { Add(CheckLine::kNote, area_, text); }
  void Passed(const std::string& text) { passed_ = text; }

  bool Reached(const std::string& area) const {
    const std::vector<std::string>& areas = CheckAreas();
    return from_.area.empty() ||
           std::find(areas.begin(), areas.end(), area) >= std::find(areas.begin(), areas.end(), from_.area);
  }

  // An area before the one to start from is left out, but for the pin
  // counts, which later areas need: they are taken without a word.
  void Unreported(const char* name, void (Checker::*check)()) {
    if (std::string(name) != "pins") return;
    const std::size_t first = report_.lines.size();
    (this->*check)();
    report_.lines.resize(first);
  }

  // The account of what passed leads the area's notes.
  void Area(const char* name, void (Checker::*check)()) {
    if (!Reached(name)) return Unreported(name, check);
    if (from_.beginning) from_.beginning(name);
    area_ = name;
    passed_.clear();
    const int before = report_.Findings();
    const std::size_t first = report_.lines.size();
    (this->*check)();
    if (report_.Findings() == before && !passed_.empty())
      report_.lines.insert(report_.lines.begin() + long(first), {CheckLine::kPassed, area_, passed_});
    PrintLines();
  }

  void PrintHeading() {
    output_(report_.dll + (report_.displayName.empty() ? "" : " (" + report_.displayName + ")") + "\n");
    PrintLines();
  }

  void PrintLines() {
    for (; printed_ < report_.lines.size(); ++printed_) {
      const CheckLine& line = report_.lines[printed_];
      const char* kind = line.kind == CheckLine::kFinding ? "FINDING"
                         : line.kind == CheckLine::kNote  ? "note   "
                                                          : "ok     ";
      output_(std::string("  ") + kind + " " + line.area + ": " + line.text + "\n");
    }
  }

  template <class Call>
  bool Guarded(const char* name, Call call) {
    const Fault fault = guard_.Run(name, call);
    if (fault.happened) Finding(std::string(name) + " crashed: " + DescribeFault(fault));
    if (!fault.floatingChange.empty()) Finding(std::string(name) + " " + fault.floatingChange);
    lastCallFaulted_ = fault.happened;
    return !fault.happened;
  }

  // A text the plug-in points to, read without trusting the pointer.
  bool ReadText(const char* name, const char* text, std::string& out) {
    if (!text) {
      Finding(std::string(name) + " gives a null pointer");
      return false;
    }
    std::size_t length = 0;
    if (!Guarded(name, [&] { length = strnlen(text, 4096); })) return false;
    if (length == 4096) {
      Finding(std::string(name) + " gives a text without an end within 4096 bytes");
      return false;
    }
    out.assign(text, length);
    return true;
  }

  // A part placed with every call under the guard, on a record with guard
  // bytes and no host window; null where placing it failed.
  std::unique_ptr<PlacedPart> Place() {
    auto part = std::make_unique<PlacedPart>(
        library_, [this](const char* name, const std::function<void()>& call) { return Guarded(name, call); }, kSlack);
    if (part->Placed()) return part;
    if (!lastCallFaulted_)
      Finding("InitUserDLL leaves the instance slot (byte " + std::to_string(kInstanceSlotAt) + ") empty");
    return nullptr;
  }

  // False where the call crashed.
  bool Evaluate(PlacedPart& part, const SignalArray& in, SignalArray& out, bool initial, std::int32_t& result) {
    result = 0;
    if (initial)
      part.Initial(in, out);
    else
      result = part.Simulate(in, out);
    return !lastCallFaulted_;
  }

  bool CanEvaluate() const { return library_.InitSimulationDLL2 && library_.SimulateDLL3; }

  void ReadDisplayName() {
    if (!library_.GetDLLName) return;
    const char* name = nullptr;
    std::string text;
    area_ = "name";
    if (Guarded("GetDLLName", [&] { name = library_.GetDLLName(); }) && ReadText("GetDLLName", name, text))
      report_.displayName = ShownWindows1252(text);
  }

  // ---- exports
  void CheckExports() {
    const std::vector<std::string> names = ExportedNames(library_.Module());
    const std::set<std::string> exported(names.begin(), names.end());
    int found = 0;
    for (const EntryPointName& entry : kEntryPoints) {
      if (exported.count(entry.name)) {
        ++found;
        continue;
      }
      std::string decorated;
      for (const std::string& name : names)
        if (UndecoratedName(name) == entry.name) decorated = name;
      if (!decorated.empty())
        Finding(std::string(entry.name) + " is exported only decorated, as \"" + decorated + "\"");
      else if (entry.optional)
        Note(std::string(entry.name) + " is not exported; the host does without it");
      else
        Finding(std::string(entry.name) + " is not exported");
    }
    Passed(std::to_string(found) + " entry points exported by their plain names");
  }

  // ---- stack cleanup and results
  struct ProbeCall {
    const char* name;
    std::vector<std::uint32_t> arguments;
  };

  void CheckStackCleanup() {
    int calls = 0;
    for (int misalignment : {4, 8, 12, 0}) calls += ProbeEveryEntryPoint(misalignment);
    Passed(std::to_string(calls) + " calls at ESP mod 16 = 4, 8, 12, 0: each takes exactly its arguments off "
                                   "the stack; results as expected");
    if (library_.CallParameterDialogDLL)
      Note("CallParameterDialogDLL not called: it opens a dialog (hostsim dialog DLL shows it)");
  }

  int ProbeEveryEntryPoint(int misalignment) {
    HostRecord record(nullptr, kSlack);
    std::vector<unsigned char> pins(kPinInfoSize + kSlack, 0);
    SignalArray in, out;
    unsigned char parameters[16], enables[16];
    std::memset(parameters, 0xAB, sizeof parameters);
    std::memset(enables, 0xAB, sizeof enables);
    HostFile file;
    file.CreateScratch();
    const std::uint32_t r = Address(record.Data()), h = file.Argument();
    const std::vector<ProbeCall> calls = {
        {"InitUserDLL", {r}},
        {"IsUserDLL32", {}},
        {"GetDLLName", {}},
        {"GetNumberOfInputsOutputs2", {Address(pins.data()), 0, 1, 0}},
        {"GetParameterStruct", {Address(parameters)}},
        {"GetDialogEnableStruct", {Address(enables), 0}},
        {"SetEnhancedInformation2", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"CanSimulateDLL2", {0, 0, 0, 0, 0, 0, 0}},
        {"InitSimulationDLL2", {0, 0, 0, r, Address(in.Data()), Address(out.Data())}},
        {"SimulateDLL3", {0, 0, 0, 0, 0, 0, r, Address(in.Data()), Address(out.Data())}},
        {"EndSimulationDLL2", {0}},
        {"SetInputChar2", {r}},
        {"SetOutputChar2", {r}},
        {"ShowWindowDLL", {0}},
        {"HideWindowDLL", {r}},
        {"DialogOK", {0}},
        {"WriteToFile", {h, r}},
        {"ReadFromFile", {h, r}},
        {"HasDelayDLL", {r}},
        {"DisposeUserDLL", {r}},
    };
    ExpectEveryEntryPointBut("CallParameterDialogDLL", calls);
    int made = 0;
    for (const ProbeCall& call : calls) {
      const void* function = library_.Find(call.name);
      if (!function) continue;
      if (std::string(call.name) == "ReadFromFile") file.Seek(0);  // onto the block just written
      ProbeResult result{};
      if (!Guarded(call.name, [&] {
            result = CallStdcall(function, call.arguments.data(), int(call.arguments.size()), misalignment);
          })) {
        if (std::string(call.name) == "InitUserDLL") break;
        continue;
      }
      ++made;
      JudgeCleanup(call, result.stackImbalance);
      JudgeResult(call, result.eax);
    }
    if (library_.GetParameterStruct && parameters[3] != 0xAB)
      Finding("GetParameterStruct writes behind the host's 3 bytes");
    if (library_.GetDialogEnableStruct && enables[13] != 0xAB)
      Finding("GetDialogEnableStruct writes behind the host's 13 bytes");
    return made;
  }

  // The probe holds each entry point of the interface's list once, with as
  // many arguments as the list gives it slots; a mismatch is hostsim's own
  // fault, not the plug-in's.
  static void ExpectEveryEntryPointBut(const std::string& left, const std::vector<ProbeCall>& calls) {
    std::size_t listed = 0;
    for (const EntryPointName& entry : kEntryPoints) {
      if (entry.name == left) continue;
      ++listed;
      const auto call = std::find_if(calls.begin(), calls.end(),
                                     [&](const ProbeCall& c) { return std::string(c.name) == entry.name; });
      if (call == calls.end() || int(call->arguments.size()) != entry.stackSlots)
        throw std::logic_error(std::string("the probe of ") + entry.name + " does not match the interface");
    }
    if (listed != calls.size()) throw std::logic_error("the probe calls an entry point twice");
  }

  void JudgeCleanup(const ProbeCall& call, std::int32_t imbalance) {
    if (imbalance == 0) return;
    const int own = 4 * int(call.arguments.size());
    Finding(std::string(call.name) + " takes " + std::to_string(own - imbalance) + " bytes off the stack, not its " +
            std::to_string(own) + " bytes of arguments" +
            (imbalance == own && own ? " (caller-cleans convention)" : ""));
  }

  void JudgeResult(const ProbeCall& call, std::uint32_t eax) {
    const std::string name = call.name;
    if (name == "CanSimulateDLL2" && eax != 1) Finding("CanSimulateDLL2 gives " + std::to_string(eax) + ", not 1");
    if (name == "SimulateDLL3" && eax != 0) Finding("SimulateDLL3 gives " + std::to_string(eax) + ", not 0");
    if ((name == "GetParameterStruct" || name == "GetDialogEnableStruct") && eax != call.arguments[0])
      Finding(name + " does not give back the address it was given");
  }

  // ---- pin record
  void CheckPinRecord() {
    if (!library_.GetNumberOfInputsOutputs2) return;
    std::vector<unsigned char> pins(kPinInfoSize + kSlack, kPinFill);
    if (!Guarded("GetNumberOfInputsOutputs2", [&] { library_.GetNumberOfInputsOutputs2(pins.data(), 1, 0, 1); }))
      return;
    for (std::size_t b = 0; b < pins.size(); ++b)
      if (pins[b] != kPinFill) {
        Finding("with a third argument of 0 it still writes (" + PinRecordPlace(b) + ")");
        break;
      }
    std::fill(pins.begin(), pins.end(), kPinFill);
    if (!Guarded("GetNumberOfInputsOutputs2", [&] { library_.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0); }))
      return;
    inputs_ = pins[0];
    outputs_ = pins[1];
    for (const auto& [count, side] : {std::pair<int, const char*>{inputs_, "inputs"}, {outputs_, "outputs"}})
      if (count < 1 || count > kMaxPins) Finding(std::to_string(count) + " " + side + ": the host takes 1 to 50");
    for (const std::string& fault : PinRecordFaults(pins, kPinFill, inputs_, outputs_)) Finding(fault);
    inputs_ = std::min(std::max(inputs_, 0), kMaxPins);
    outputs_ = std::min(std::max(outputs_, 0), kMaxPins);
    Passed(Counted(std::size_t(inputs_), "input") + ", " + Counted(std::size_t(outputs_), "output") +
           "; only the counts, the names and their NULs written");
  }

  // ---- labels
  void CheckLabels() {
    const auto first = Place();
    if (!first) return;
    if (const auto second = Place()) {
      if (library_.SetInputChar2) CheckLabel("SetInputChar2", &PlacedPart::InputLabels, *first, *second);
      if (library_.SetOutputChar2) CheckLabel("SetOutputChar2", &PlacedPart::OutputLabels, *first, *second);
    }
    Passed("both label texts readable, one address per part for its lifetime");
  }

  void CheckLabel(const char* name, const char* (PlacedPart::*labels)(), PlacedPart& first, PlacedPart& second) {
    const char* a = (first.*labels)();
    if (lastCallFaulted_) return;
    const char* again = (first.*labels)();
    if (lastCallFaulted_) return;
    const char* b = (second.*labels)();
    if (lastCallFaulted_) return;
    std::string text;
    if (!ReadText(name, a, text)) return;
    if (a != again) Finding(std::string(name) + " gives a new address on each call for one part");
    if (a == b) Finding(std::string(name) + " gives two parts the same address");
  }

  // ---- outputs
  void CheckOutputs() {
    if (!CanEvaluate()) return;
    const auto part = Place();
    if (!part) return;
    std::vector<std::vector<double>> rows;
    const int bits = std::min(inputs_, 6);
    for (unsigned code = 0; code < (1u << bits); ++code) rows.push_back(CodeVolts(code, inputs_, bits));
    rows.push_back(std::vector<double>(inputs_, 2.5));
    rows.push_back(std::vector<double>(inputs_, 2.6));
    int evaluations = 0;
    for (std::size_t k = 0; k <= rows.size(); ++k) {
      // The initial evaluation first, a second run's initial one at the end.
      const bool initial = k == 0 || k == rows.size();
      if (!EvaluateAndJudge(*part, rows[k % rows.size()], initial)) break;
      ++evaluations;
    }
    Passed(std::to_string(evaluations) + " evaluations: outputs exactly 5.0 or 0.0, none written behind the " +
           Counted(std::size_t(outputs_), "output") + " or into the inputs");
  }

  bool EvaluateAndJudge(PlacedPart& part, const std::vector<double>& volts, bool initial) {
    SignalArray in, out;
    for (std::size_t i = 0; i < volts.size(); ++i) EncodeSignal(volts[i], in.Data() + i * kSignalSize);
    const SignalArray inBefore = in;
    std::int32_t result;
    if (!Evaluate(part, in, out, initial, result)) return false;
    const std::string name = initial ? "InitSimulationDLL2" : "SimulateDLL3";
    for (const std::string& fault : EvaluationFaults(name, inBefore, in, out, outputs_, result)) Finding(fault);
    return true;
  }

  // ---- host record
  void CheckHostRecord() {
    const HostRecord fresh(nullptr, kSlack);
    const auto part = Place();
    if (!part) return;
    if (long b = part->RecordBytes().FirstChangeBesidesSlot(fresh); b >= 0)
      Finding("InitUserDLL writes byte " + std::to_string(b) + " of the host record, not only the instance slot");
    const HostRecord placed = part->RecordBytes();
    SignalArray in, out;
    std::int32_t result;
    Evaluate(*part, in, out, true, result);
    Evaluate(*part, in, out, false, result);
    if (library_.HasDelayDLL) part->HasDelay();
    SaveBlock(*part);
    if (long b = part->RecordBytes().FirstChangeBesidesSlot(placed);
        b >= 0 || part->RecordBytes().Slot() != placed.Slot())
      Finding("evaluating or saving a part changes byte " + std::to_string(b < 0 ? long(kInstanceSlotAt) : b) +
              " of the host record");
    part->Remove();
    if (long b = part->RecordBytes().FirstChangeBesidesSlot(placed); b >= 0)
      Finding("DisposeUserDLL writes byte " + std::to_string(b) + " of the host record, not only the instance slot");
    Passed("the plug-in writes the instance slot of the host record and nothing else");
  }

  // ---- persistence
  std::string SaveBlock(PlacedPart& part, std::uint32_t highBits = 0) {
    if (!library_.WriteToFile) return {};
    ScratchFile scratch;
    return WrittenBlock(part, scratch, highBits);
  }

  // Loads `block` from between host data; gives the bytes the reader took,
  // or -1 when it disturbed the host's data behind it.
  long LoadBlock(PlacedPart& part, const std::string& block, std::uint32_t highBits = 0) {
    ScratchFile scratch;
    const BlockRead read = ReadBlockAmidHostData(part, scratch, block, true, highBits);
    return lastCallFaulted_ || read.fileChanged ? -1 : read.taken;
  }

  void CheckPersistence() {
    if (!library_.WriteToFile || !library_.ReadFromFile) return;
    const auto part = Place();
    if (!part) return;
    const std::string block = SaveBlock(*part);
    if (!EndsWithMarker(block)) {
      Finding("WriteToFile writes " + std::to_string(block.size()) + " bytes that do not end with the marker");
    } else {
      const long taken = LoadBlock(*part, block);
      if (taken < 0)
        Finding("ReadFromFile changes the file");
      else if (taken != long(block.size()))
        Finding("ReadFromFile stops after " + std::to_string(taken) + " bytes of a " + std::to_string(block.size()) +
                "-byte block, not right after the marker");
      if (SaveBlock(*part) != block) Finding("a block read back is not written again as it was");
      if (SaveBlock(*part, 0xABCD0000u) != block) Finding("WriteToFile uses more than the low 16 bits of the handle");
      if (LoadBlock(*part, block, 0x12340000u) != taken)
        Finding("ReadFromFile uses more than the low 16 bits of the handle");
    }
    LoadBlock(*part, "1\r\n");  // the end of the file before any marker must end the reader
    Passed(std::to_string(block.size()) + "-byte block ending with the marker; the reader stops right after it");
  }

  // ---- instances
  void CheckInstances() {
    const auto first = Place();
    if (!first) return;
    if (const auto second = Place()) {
      if (first->RecordBytes().Slot() == second->RecordBytes().Slot()) Finding("two parts get the same instance");
      CheckSettingsApart(*first, *second);
      CheckStateApart(*first, *second);
    }
    Passed("two parts keep their settings and their state apart");
  }

  void CheckSettingsApart(PlacedPart& first, PlacedPart& second) {
    if (!library_.WriteToFile || !library_.ReadFromFile) return;
    const std::string before = SaveBlock(second);
    const std::string changed = FlippedBlock(SaveBlock(first));
    LoadBlock(first, changed);
    if (SaveBlock(first) != changed) {
      Note("settings not changed by a block with 0 and 1 swapped; their independence is not checked");
      return;
    }
    if (SaveBlock(second) != before) Finding("loading settings into one part changes another");
  }

  // A run of one part alone, then the same run with another part evaluated
  // in between on different inputs: the outputs must be the same.
  void CheckStateApart(PlacedPart& first, PlacedPart& second) {
    if (!CanEvaluate() || inputs_ == 0) return;
    const auto alone = Place();
    if (!alone) return;
    unsigned pattern = 12345;
    for (int step = 0; step < 64; ++step) {
      pattern = pattern * 1103515245u + 12345u;
      SignalArray in, other, outAlone, outFirst, outSecond;
      for (int i = 0; i < inputs_; ++i) {
        EncodeSignal(pattern >> (16 + i % 16) & 1 ? 5.0 : 0.0, in.Data() + i * kSignalSize);
        EncodeSignal(pattern >> (16 + i % 16) & 1 ? 0.0 : 5.0, other.Data() + i * kSignalSize);
      }
      std::int32_t result;
      if (!Evaluate(*alone, in, outAlone, step == 0, result) || !Evaluate(first, in, outFirst, step == 0, result) ||
          !Evaluate(second, other, outSecond, step == 0, result))
        break;
      if (std::memcmp(outAlone.Data(), outFirst.Data(), outputs_ * kSignalSize) != 0) {
        Finding("evaluating one part changes the outputs of another (step " + std::to_string(step) + ")");
        break;
      }
    }
  }

  // ---- floating point
  // Every call of every area is watched for a change of the floating-point
  // state (Guarded). Here the evaluations run as under a host with x87
  // exceptions unmasked, on the odd inputs fuzz gives: none may trap or
  // raise an unmasked exception. Each entry point's first problem is
  // reported, with its input.
  void CheckFloatingPoint() {
    if (!CanEvaluate()) return;
    const auto part = Place();
    if (!part) return;
    const FloatingState host = ReadFloatingState();
    const std::vector<OddSignal> odd = OddSignals();
    std::set<std::string> found;  // entry points with a finding
    std::uint16_t kept = 0;
    for (const OddSignal& signal : odd) {
      SignalArray in, out;
      for (int i = 0; i < inputs_; ++i) in.Set(i, signal.value);
      for (const bool initial : {true, false}) {
        const std::string entryPoint = initial ? "InitSimulationDLL2" : "SimulateDLL3";
        const std::string call =
            entryPoint + " with every input " + signal.kind + " (" + ShownSignal(signal.value) + ")";
        auto evaluate = [&] {
          if (initial)
            library_.InitSimulationDLL2(0, 0, 0, part->Record(), in.Data(), out.Data());
          else
            CallSimulate(library_.SimulateDLL3, part->Record(), in.Data(), out.Data());
        };
        kept = LoadControlWord(kUnmaskedControlWord);
        const Fault fault = guard_.Run(call.c_str(), evaluate);
        const std::string problem = UnmaskedEvaluationProblem(fault, ReadFloatingState().StatusWord(), kept);
        PutFloatingState(host);
        if (!problem.empty() && found.insert(entryPoint).second) Finding(call + " " + problem);
      }
    }
    Passed(std::to_string(2 * odd.size()) + " evaluations on " + std::to_string(odd.size()) +
           " odd inputs (NaNs, infinities, denormals, encodings the x87 refuses) with x87 exceptions unmasked "
           "(control word " +
           HexWord(kUnmaskedControlWord) + ", kept as " + HexWord(kept) +
           "): none traps, raises an unmasked exception or changes the floating-point state");
  }

  std::string path_;
  FaultGuard& guard_;
  const CheckOutput& output_;
  const CheckFrom& from_;
  std::size_t printed_ = 0;
  PluginLibrary library_;
  CheckReport report_;
  std::string area_, passed_;
  std::set<std::string> seen_;
  bool lastCallFaulted_ = false;
  int inputs_ = 0, outputs_ = 0;
};

}  // namespace

int CheckReport::Findings() const {
  int findings = 0;
  for (const CheckLine& line : lines) findings += line.kind == CheckLine::kFinding;
  return findings;
}

const std::vector<std::string>& CheckAreas() {
  static const std::vector<std::string> areas = {"exports", "stack",       "pins",      "labels",        "outputs",
                                                 "record",  "persistence", "instances", "floating-point"};
  return areas;
}

CheckReport CheckPlugin(const std::string& path, FaultGuard& guard, const CheckOutput& output, const CheckFrom& from) {
  return Checker(path, guard, output, from).Run();
}

std::string FormatCheckSummary(int findings) {
  return "  " + (findings ? Counted(std::size_t(findings), "finding") : std::string("no findings")) + "\n";
}

}  // namespace host
