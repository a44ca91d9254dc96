#include "check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>

#include "export_table.h"
#include "failure.h"
#include "floating_state.h"
#include "fuzz_input.h"
#include "host_file.h"
#include "input_codes.h"
#include "part_instance.h"
#include "plugin_interface.h"
#include "plugin_library.h"
#include "plugin_writes.h"
#include "project_format.h"
#include "shown_text.h"
#include "signal_encoding.h"
#include "stdcall_probe.h"
#include "words.h"

namespace host {
namespace {

constexpr unsigned char kPinFill = 0xFF;
// The instance slot as the host hands the record over, before InitUserDLL.
constexpr std::uint32_t kUnwrittenSlot = HostRecord::kFill * 0x01010101u;
// How many bytes of the host's GetParameterStruct and GetDialogEnableStruct
// records the plug-in sets to 0.
constexpr std::size_t kParameterBytes = 3, kDialogEnableBytes = 13;

std::uint32_t Address(const void* pointer) { return std::uint32_t(reinterpret_cast<std::uintptr_t>(pointer)); }

// A host built by another compiler may run with x87 exceptions unmasked:
// invalid operation, division by zero and overflow (64-bit precision,
// rounding to nearest).
constexpr std::uint16_t kUnmaskedControlWord = 0x1332;

// What went wrong in an evaluation under `controlWord` (as the processor
// kept it): a trap, a changed state, or where nothing trapped (an emulated
// x87) an unmasked exception the status word shows; empty where nothing.
std::string UnmaskedEvaluationProblem(const Fault& fault, std::uint16_t statusWord, std::uint16_t controlWord) {
  if (fault.happened) return "traps: " + DescribeFault(fault);
  if (!fault.floatingChange.empty()) return fault.floatingChange;
  const std::string raised = UnmaskedExceptionsRaised(statusWord, controlWord);
  if (raised.empty()) return {};
  return "raises " + raised + ", unmasked by the control word " + HexNumber(controlWord, 4) + " (status word " +
         HexNumber(statusWord, 4) + ")";
}

// A settings block with every 0 made 1 and every 1 made 0: a change of
// settings any plug-in that stores flags as digits accepts.
std::string FlippedBlock(const std::string& block) {
  std::string settings = block.substr(0, block.size() - kEndMarkerSize);
  for (char& c : settings) c = c == '0' ? '1' : c == '1' ? '0' : c;
  return settings + kEndMarker;
}

class Checker;

// What an area needs before it can be judged: the DLL loaded, or instances
// placed, which also takes the pin counts.
enum class Needs { kLoadedDll, kInstances };

struct AreaRow {
  const char* name;
  void (Checker::*judge)();
  Needs needs;
  const char* description;
};

class Checker {
 public:
  Checker(const std::string& path, FaultGuard& guard, CheckListener& listener, const CheckPlan& plan)
      : path_(path), guard_(guard), listener_(listener), plan_(plan), library_(&guard) {}

  // The areas, in the order they are judged (below the class).
  static const AreaRow kAreas[];

  void Run();

 private:
  // ---- bookkeeping
  void Add(CheckLine::Kind kind, const std::string& area, const std::string& text) {
    if (quiet_) return;
    if (kind == CheckLine::kFinding && !seen_.insert(area + text).second) return;
    findingsInArea_ += kind == CheckLine::kFinding;
    listener_.Line({kind, area, text});
  }
  void Finding(const std::string& text) { Add(CheckLine::kFinding, area_, text); }
  void Note(const std::string& text) { Add(CheckLine::kNote, area_, text); }
  void Passed(const std::string& text) { passed_ = text; }

  bool Load() {
    area_ = kLoadArea;
    try {
      library_.Load(LocateDll(path_));
    } catch (const Failure& failure) {
      // A DLL that lacks entry points is judged on what it has.
      if (!library_.Loaded()) Finding(failure.what());
    }
    if (plan_.heading) listener_.Heading(library_.Loaded() ? DisplayName() : "");
    return library_.Loaded();
  }

  bool Planned(const char* area) const {
    return std::find(plan_.areas.begin(), plan_.areas.end(), area) != plan_.areas.end();
  }

  // The account of what passed comes only for an area without findings.
  void Judge(const AreaRow& row) {
    if (!Planned(row.name)) return;
    if (row.needs == Needs::kInstances && !(library_.InitUserDLL && library_.DisposeUserDLL))
      return NoteNoInstances(row.name);
    listener_.Begin(row.name);
    if (row.needs == Needs::kInstances && !pinsCounted_) RunPinsAreaQuietly();
    area_ = row.name;
    passed_.clear();
    findingsInArea_ = 0;
    (this->*row.judge)();
    pinsCounted_ = pinsCounted_ || row.judge == &Checker::CheckPinRecord;
    if (findingsInArea_ == 0 && !passed_.empty()) listener_.Line({CheckLine::kPassed, area_, passed_});
    listener_.End(row.name);
  }

  // Later areas need the pin counts: where the pins area is not asked
  // for, it runs all the same, with its findings and notes unsaid.
  void RunPinsAreaQuietly() {
    quiet_ = true;
    CheckPinRecord();
    quiet_ = false;
    pinsCounted_ = true;
  }

  void NoteNoInstances(const char* area) {
    if (notedNoInstances_) return;
    notedNoInstances_ = true;
    Add(CheckLine::kNote, area, "nothing checked that needs a placed part: InitUserDLL or DisposeUserDLL missing");
  }

  // `when` names the circumstance of a call a host makes only in some cases.
  template <class Call>
  bool Guarded(const char* name, Call call, const std::string& when = "") {
    listener_.Calling(name);
    const Fault fault = guard_.Run(name, call);
    if (fault.happened) Finding(std::string(name) + " crashed" + when + ": " + DescribeFault(fault));
    if (!fault.floatingChange.empty()) Finding(std::string(name) + " " + fault.floatingChange);
    lastCallFaulted_ = fault.happened;
    return !fault.happened;
  }

  bool ReadText(const char* name, const char* text, std::string& out) {
    const ReturnedText read =
        ReadReturnedText(name, text, [&](const std::function<void()>& reading) { return Guarded(name, reading); });
    if (!read.fault.empty()) Finding(read.fault);
    out = read.text;
    return read.whole;
  }

  // A part placed with every call under the guard, on a record with guard
  // bytes and no host window; null where placing it failed.
  std::unique_ptr<PartInstance> Place() {
    auto instance = std::make_unique<PartInstance>(
        library_, [this](const char* name, const std::function<void()>& call) { return Guarded(name, call); }, kSlack);
    const std::string slot = "the instance slot (byte " + std::to_string(kInstanceSlotAt) + ")";
    if (instance->Placed() && instance->RecordBytes().Slot() != kUnwrittenSlot) return instance;
    if (instance->Placed()) {
      Finding("InitUserDLL does not write " + slot);
      // Removed as a part with an empty slot: the host's fill bytes point nowhere.
      std::memset(instance->Record() + kInstanceSlotAt, 0, 4);
    } else if (!lastCallFaulted_) {
      Finding("InitUserDLL leaves " + slot + " empty");
    }
    return nullptr;
  }

  // False where the call crashed.
  bool Evaluate(PartInstance& instance, const SignalArray& in, SignalArray& out, bool initial, std::int32_t& result) {
    result = 0;
    if (initial)
      instance.Initial(in, out);
    else
      result = instance.Simulate(in, out);
    return !lastCallFaulted_;
  }

  bool CanEvaluate() const { return library_.InitSimulationDLL2 && library_.SimulateDLL3; }

  std::string DisplayName() {
    if (!library_.GetDLLName) return "";
    const char* name = nullptr;
    std::string text;
    area_ = "name";
    if (Guarded(HOST_LISTED(GetDLLName), [&] { name = library_.GetDLLName(); }) &&
        ReadText(HOST_LISTED(GetDLLName), name, text))
      return ShownWindows1252(text);
    return "";
  }

  // ---- exports
  void CheckExports() {
    const std::vector<std::string> names = ExportedNames(library_.Module());
    const std::set<std::string> exported(names.begin(), names.end());
    int found = 0;
    for (const EntryPoint& entry : kInterface) {
      if (exported.count(entry.name)) {
        ++found;
        continue;
      }
      std::string decorated;
      for (const std::string& name : names)
        if (UndecoratedName(name) == entry.name) decorated = name;
      if (!decorated.empty())
        Finding(std::string(entry.name) + " is exported only decorated, as \"" + decorated + "\"");
      else if (entry.presence == entry_point::kOptional)
        Note(std::string(entry.name) + " is not exported; the host does without it");
      else
        Finding(std::string(entry.name) + " is not exported");
    }
    Passed(std::to_string(found) + " entry points exported by their plain names");
  }

  // ---- stack cleanup and results
  void CheckStackCleanup() {
    int calls = 0;
    for (int misalignment : {4, 8, 12, 0}) calls += ProbeEveryEntryPoint(misalignment);
    Passed(std::to_string(calls) + " calls at ESP mod 16 = 4, 8, 12, 0: each takes exactly its arguments off "
                                   "the stack; results as expected");
    if (!probedAnInstance_) Note("the entry points that need a placed part not called: InitUserDLL placed none");
    if (library_.CallParameterDialogDLL)
      Note("CallParameterDialogDLL not called: it opens a dialog (hostsim dialog DLL shows it)");
  }

  // Reads the block the entry point that writes the file wrote before it.
  static bool ReadsTheFile(const EntryPoint& entry) {
    return TakesSlot(entry, entry_point::kFile) && entry.writes != entry_point::kWritesFile;
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
    const ProbeArguments given{Address(record.Data()), Address(pins.data()), Address(in.Data()), Address(out.Data()),
                               Address(parameters),    Address(enables),     file.Argument()};
    int made = 0;
    for (const ProbeCall& call : StackProbeCalls(given)) {
      const EntryPoint& entry = *call.entry;
      const void* function = library_.Find(entry.name);
      if (!function || (NeedsInstance(entry) && !HoldsInstance(record))) continue;
      if (ReadsTheFile(entry)) file.Seek(0);  // onto the block just written
      probedAnInstance_ |= NeedsInstance(entry);
      ProbeResult result{};
      if (!Guarded(entry.name, [&] {
            result = CallStdcall(function, call.arguments.data(), int(call.arguments.size()), misalignment);
          }))
        continue;
      ++made;
      JudgeCleanup(call, result.stackImbalance);
      JudgeResult(call, result.eax);
    }
    if (library_.GetParameterStruct) JudgeZeroed(HOST_LISTED(GetParameterStruct), parameters, kParameterBytes);
    if (library_.GetDialogEnableStruct) JudgeZeroed(HOST_LISTED(GetDialogEnableStruct), enables, kDialogEnableBytes);
    return made;
  }

  static bool HoldsInstance(const HostRecord& record) { return record.Slot() != 0 && record.Slot() != kUnwrittenSlot; }

  // The host's record of `size` bytes, all of which the plug-in sets to 0,
  // and the bytes behind it, which it leaves alone (0xAB before the call).
  void JudgeZeroed(const std::string& name, const unsigned char* bytes, std::size_t size) {
    for (std::size_t b = 0; b < size; ++b)
      if (bytes[b] != 0) {
        Finding("byte " + std::to_string(b) + " of the " + std::to_string(size) + " bytes given to " + name + " is " +
                HexNumber(bytes[b], 2) + " after the call, not 0");
        break;
      }
    if (bytes[size] != 0xAB) Finding(name + " writes behind the host's " + std::to_string(size) + " bytes");
  }

  void JudgeCleanup(const ProbeCall& call, std::int32_t imbalance) {
    if (imbalance == 0) return;
    const int own = 4 * int(call.arguments.size());
    Finding(std::string(call.entry->name) + " takes " + std::to_string(own - imbalance) +
            " bytes off the stack, not its " + std::to_string(own) + " bytes of arguments" +
            (imbalance == own && own ? " (caller-cleans convention)" : ""));
  }

  void JudgeResult(const ProbeCall& call, std::uint32_t eax) {
    const std::string name = call.entry->name;
    switch (call.entry->returns) {
      case entry_point::kDisplayName:
        JudgeDisplayNameAddress(eax);
        break;
      case entry_point::kOne:
      case entry_point::kZero: {
        const std::uint32_t expected = call.entry->returns == entry_point::kOne;
        if (eax != expected) Finding(name + " gives " + std::to_string(eax) + ", not " + std::to_string(expected));
        break;
      }
      case entry_point::kItsAddress:
        if (eax != call.arguments[0]) Finding(name + " does not give back the address it was given");
        break;
      default:
        break;
    }
  }

  // The display name is one static text: one address on every call.
  void JudgeDisplayNameAddress(std::uint32_t address) {
    if (!displayNameAt_) displayNameAt_ = address;
    if (address != displayNameAt_) Finding("GetDLLName gives a new address on each call, not one static text");
  }

  // ---- pin record
  void CheckPinRecord() {
    if (!library_.GetNumberOfInputsOutputs2) return;
    std::vector<unsigned char> pins(kPinInfoSize + kSlack, kPinFill);
    if (!Guarded(HOST_LISTED(GetNumberOfInputsOutputs2),
                 [&] { library_.GetNumberOfInputsOutputs2(pins.data(), 1, 0, 1); }))
      return;
    const std::string undescribed = UndescribedPinRecordFault(pins, kPinFill);
    if (!undescribed.empty()) Finding(undescribed);
    std::fill(pins.begin(), pins.end(), kPinFill);
    if (!Guarded(HOST_LISTED(GetNumberOfInputsOutputs2),
                 [&] { library_.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0); }))
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
      if (library_.SetInputChar2) CheckLabel(HOST_LISTED(SetInputChar2), &PartInstance::InputLabels, *first, *second);
      if (library_.SetOutputChar2)
        CheckLabel(HOST_LISTED(SetOutputChar2), &PartInstance::OutputLabels, *first, *second);
    }
    Passed("both label texts readable, one address per part for its lifetime");
  }

  void CheckLabel(const char* name, const char* (PartInstance::*labels)(), PartInstance& first, PartInstance& second) {
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
    const auto instance = Place();
    if (!instance) return;
    std::vector<std::vector<double>> rows;
    const int bits = std::min(inputs_, 6);
    for (unsigned code = 0; code < (1u << bits); ++code) rows.push_back(CodeVolts(code, inputs_, bits));
    rows.push_back(std::vector<double>(inputs_, 2.5));
    rows.push_back(std::vector<double>(inputs_, 2.6));
    int evaluations = 0;
    for (std::size_t k = 0; k <= rows.size(); ++k) {
      // The initial evaluation first, a second run's initial one at the end.
      const bool initial = k == 0 || k == rows.size();
      if (!EvaluateAndJudge(*instance, rows[k % rows.size()], initial)) break;
      ++evaluations;
    }
    Passed(std::to_string(evaluations) + " evaluations: outputs exactly 5.0 or 0.0, none written behind the " +
           Counted(std::size_t(outputs_), "output") + " or into the inputs");
  }

  bool EvaluateAndJudge(PartInstance& instance, const std::vector<double>& volts, bool initial) {
    SignalArray in, out;
    for (std::size_t i = 0; i < volts.size(); ++i) EncodeSignal(volts[i], in.Data() + i * kSignalSize);
    const SignalArray inBefore = in;
    std::int32_t result;
    if (!Evaluate(instance, in, out, initial, result)) return false;
    const std::string name = initial ? HOST_LISTED(InitSimulationDLL2) : HOST_LISTED(SimulateDLL3);
    for (const std::string& fault : EvaluationFaults(name, inBefore, in, out, outputs_, result)) Finding(fault);
    return true;
  }

  // ---- host record
  void CheckHostRecord() {
    const HostRecord fresh(nullptr, kSlack);
    const auto instance = Place();
    if (!instance) return;
    if (long b = instance->RecordBytes().FirstChangeBesidesSlot(fresh); b >= 0)
      Finding("InitUserDLL writes byte " + std::to_string(b) + " of the host record, not only the instance slot");
    PartInstance& p = *instance;
    SignalArray in, out;
    std::string block;
    // Each call is judged on its own, so that a finding names the one that wrote.
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {HOST_LISTED(InitSimulationDLL2), [&] { p.Initial(in, out); }},
        {HOST_LISTED(SimulateDLL3), [&] { p.Simulate(in, out); }},
        {HOST_LISTED(SetInputChar2), [&] { p.InputLabels(); }},
        {HOST_LISTED(SetOutputChar2), [&] { p.OutputLabels(); }},
        {HOST_LISTED(HasDelayDLL), [&] { p.HasDelay(); }},
        {HOST_LISTED(WriteToFile), [&] { block = SaveBlock(p); }},
        {HOST_LISTED(ReadFromFile), [&] { LoadBlock(p, block); }},
    };
    for (const auto& [name, call] : calls)
      if (library_.Find(name)) JudgeRecordKept(p, name, call);
    const auto remove = [&] { p.Remove(); };
    JudgeRecordKept(p, HOST_LISTED(DisposeUserDLL), remove, true);
    JudgeDisposeOfEmptySlot();
    Passed("the plug-in writes the instance slot of the host record and nothing else; DisposeUserDLL on an empty "
           "slot does nothing");
  }

  // The record after `call` is as before it: the instance slot too, but
  // where DisposeUserDLL may empty it.
  void JudgeRecordKept(PartInstance& instance, const char* name, const std::function<void()>& call,
                       bool slotMayChange = false) {
    const HostRecord before = instance.RecordBytes();
    call();
    if (lastCallFaulted_) return;
    if (long b = instance.RecordBytes().FirstChangeBesidesSlot(before); b >= 0)
      Finding(std::string(name) + " writes byte " + std::to_string(b) + " of the host record" +
              (slotMayChange ? ", not only the instance slot" : ""));
    else if (!slotMayChange && instance.RecordBytes().Slot() != before.Slot())
      Finding(std::string(name) + " changes the instance slot (byte " + std::to_string(kInstanceSlotAt) + ")");
  }

  // The host may hand DisposeUserDLL a record whose slot is 0 (a part it
  // could not place): nothing may happen.
  void JudgeDisposeOfEmptySlot() {
    HostRecord empty(nullptr, kSlack);
    std::memset(empty.Data() + kInstanceSlotAt, 0, 4);
    const HostRecord before = empty;
    const std::string when = " on a record whose instance slot is 0";
    const auto dispose = [&] { library_.DisposeUserDLL(empty.Data()); };
    if (!Guarded(HOST_LISTED(DisposeUserDLL), dispose, when)) return;
    const long b = empty.FirstChangeBesidesSlot(before);
    if (b >= 0 || empty.Slot() != 0)
      Finding(HOST_LISTED(DisposeUserDLL) + when + " writes byte " +
              std::to_string(b >= 0 ? b : long(kInstanceSlotAt)) + " of it");
  }

  // ---- persistence
  std::string SaveBlock(PartInstance& instance, std::uint32_t highBits = 0) {
    if (!library_.WriteToFile) return {};
    ScratchFile scratch;
    return WrittenBlock(instance, scratch, highBits);
  }

  // Loads `block` from between host data: how far the reader went, and
  // whether it disturbed the host's data.
  BlockRead LoadBlock(PartInstance& instance, const std::string& block, std::uint32_t highBits = 0) {
    ScratchFile scratch;
    return ReadBlockAmidHostData(instance, scratch, block, true, highBits);
  }

  void CheckPersistence() {
    if (!library_.WriteToFile || !library_.ReadFromFile) return;
    const auto instance = Place();
    if (!instance) return;
    const std::string block = SaveBlock(*instance);
    if (lastCallFaulted_) return;
    if (!EndsWithMarker(block))
      Finding("WriteToFile writes " + std::to_string(block.size()) + " bytes that do not end with the marker");
    else if (JudgeReader(*instance, block, "a " + std::to_string(block.size()) + "-byte block"))
      JudgeBlockReadBack(*instance, block);
    JudgeReader(*instance, kEndMarker, "a block that is the marker alone");
    LoadBlock(*instance, "1\r\n");  // the end of the file before any marker must end the reader
    Passed(std::to_string(block.size()) +
           "-byte block ending with the marker; the reader stops right after it, and after the marker alone");
  }

  // False where the reader crashed.
  bool JudgeReader(PartInstance& instance, const std::string& block, const std::string& what) {
    const BlockRead read = LoadBlock(instance, block);
    if (lastCallFaulted_) return false;
    if (read.fileChanged)
      Finding("ReadFromFile changes the file");
    else if (read.taken != long(block.size()))
      Finding("ReadFromFile stops after " + std::to_string(read.taken) + " bytes of " + what +
              ", not right after the marker");
    return true;
  }

  // The part has read its own block: it writes it again, and reads and
  // writes the same with the handle's high bits set as without them.
  void JudgeBlockReadBack(PartInstance& instance, const std::string& block) {
    const std::string again = SaveBlock(instance);
    if (lastCallFaulted_) return;
    if (again != block) Finding("a block read back is not written again as it was");
    if (SaveBlock(instance, 0xABCD0000u) != again) Finding("WriteToFile uses more than the low 16 bits of the handle");
    const BlockRead low = LoadBlock(instance, again);
    if (lastCallFaulted_) return;
    const BlockRead high = LoadBlock(instance, again, 0x12340000u);
    if (high.taken != low.taken || high.fileChanged != low.fileChanged || lastCallFaulted_)
      Finding("ReadFromFile uses more than the low 16 bits of the handle");
  }

  // ---- instances
  // The settings check leaves the instances with the settings they had,
  // so that the state check compares instances that hold the same
  // settings: an instance whose settings change its logic is no case of shared state.
  void CheckInstances() {
    const auto first = Place();
    if (!first) return;
    const auto second = Place();
    if (!second) return;
    if (first->RecordBytes().Slot() == second->RecordBytes().Slot()) Finding("two parts get the same instance");
    const bool settings = CheckSettingsApart(*first, *second), state = CheckStateApart(*first, *second);
    const std::string apart = settings && state ? "their settings and their state"
                              : settings        ? "their settings"
                                                : "their state";
    Passed("two parts get instances of their own" +
           (settings || state ? " and keep " + apart + " apart" : std::string()));
  }

  // False where the settings were not judged.
  bool CheckSettingsApart(PartInstance& first, PartInstance& second) {
    if (!library_.WriteToFile || !library_.ReadFromFile) return false;
    const std::string own = SaveBlock(first), before = SaveBlock(second);
    const std::string changed = FlippedBlock(own);
    LoadBlock(first, changed);
    const bool taken = changed != own && SaveBlock(first) == changed;
    if (taken && SaveBlock(second) != before)
      Finding("loading settings into one part changes another's settings: the parts share settings");
    LoadBlock(first, own);
    if (!taken) Note("settings not changed by a block with 0 and 1 swapped; their independence is not checked");
    return taken;
  }

  // The blocks the instances write are the same (where they write any).
  bool HoldSameSettings(const std::vector<PartInstance*>& instances) {
    if (!library_.WriteToFile) return true;
    const std::string block = SaveBlock(*instances.front());
    for (PartInstance* instance : instances)
      if (SaveBlock(*instance) != block) return false;
    return true;
  }

  // A run of one part alone, then the same run of another part with a
  // third evaluated after each step on the opposite inputs: with the same
  // settings, the outputs must be the same. False where the state was not
  // judged.
  bool CheckStateApart(PartInstance& first, PartInstance& second) {
    if (!CanEvaluate() || inputs_ == 0) return false;
    const auto alone = Place();
    if (!alone) return false;
    if (!HoldSameSettings({alone.get(), &first, &second})) {
      Note("state not checked: the parts do not write the same block again after the settings check");
      return false;
    }
    const std::vector<SignalArray> run = StateRun(false), opposite = StateRun(true);
    std::vector<SignalArray> outAlone(run.size());
    std::int32_t result;
    for (std::size_t step = 0; step < run.size(); ++step)
      if (!Evaluate(*alone, run[step], outAlone[step], step == 0, result)) return true;
    for (std::size_t step = 0; step < run.size(); ++step) {
      SignalArray outFirst, outSecond;
      if (!Evaluate(first, run[step], outFirst, step == 0, result) ||
          !Evaluate(second, opposite[step], outSecond, step == 0, result))
        break;
      if (std::memcmp(outAlone[step].Data(), outFirst.Data(), outputs_ * kSignalSize) != 0) {
        Finding("evaluating one part changes the outputs of another (step " + std::to_string(step) +
                "), both with the same settings: the parts share state");
        break;
      }
    }
    return true;
  }

  // 64 steps of pseudo-random levels on every input, or their opposites.
  std::vector<SignalArray> StateRun(bool opposite) const {
    std::vector<SignalArray> run(64);
    unsigned pattern = 12345;
    for (SignalArray& in : run) {
      pattern = pattern * 1103515245u + 12345u;
      for (int i = 0; i < inputs_; ++i)
        EncodeSignal((pattern >> (16 + i % 16) & 1) != opposite ? 5.0 : 0.0, in.Data() + i * kSignalSize);
    }
    return run;
  }

  // ---- floating point
  // Every call of every area is watched for a change of the floating-point
  // state (Guarded). Here the evaluations run as under a host with x87
  // exceptions unmasked, on the odd inputs fuzz gives: none may trap or
  // raise an unmasked exception. Each entry point's first problem is
  // reported, with its input.
  void CheckFloatingPoint() {
    if (!CanEvaluate()) return;
    const auto instance = Place();
    if (!instance) return;
    const FloatingState host = ReadFloatingState();
    const std::vector<OddSignal> odd = OddSignals();
    std::set<std::string> found;  // entry points with a finding
    std::uint16_t kept = 0;
    for (const OddSignal& signal : odd) {
      SignalArray in, out;
      for (int i = 0; i < inputs_; ++i) in.Set(i, signal.value);
      for (const bool initial : {true, false}) {
        const std::string entryPoint = initial ? HOST_LISTED(InitSimulationDLL2) : HOST_LISTED(SimulateDLL3);
        const std::string call =
            entryPoint + " with every input " + signal.kind + " (" + ShownSignal(signal.value) + ")";
        auto evaluate = [&] {
          if (initial)
            library_.InitSimulationDLL2(0, 0, 0, instance->Record(), in.Data(), out.Data());
          else
            CallSimulate(library_.SimulateDLL3, instance->Record(), in.Data(), out.Data());
        };
        kept = LoadControlWord(kUnmaskedControlWord);
        listener_.Calling(entryPoint);
        const Fault fault = guard_.Run(call.c_str(), evaluate);
        const std::string problem = UnmaskedEvaluationProblem(fault, ReadFloatingState().StatusWord(), kept);
        PutFloatingState(host);
        if (!problem.empty() && found.insert(entryPoint).second) Finding(call + " " + problem);
      }
    }
    Passed(std::to_string(2 * odd.size()) + " evaluations on " + std::to_string(odd.size()) +
           " odd inputs (NaNs, infinities, denormals, encodings the x87 refuses) with x87 exceptions unmasked "
           "(control word " +
           HexNumber(kUnmaskedControlWord, 4) + ", kept as " + HexNumber(kept, 4) +
           "): none traps, raises an unmasked exception or changes the floating-point state");
  }

  std::string path_;
  FaultGuard& guard_;
  CheckListener& listener_;
  const CheckPlan& plan_;
  PluginLibrary library_;
  std::string area_, passed_;
  std::set<std::string> seen_;
  int findingsInArea_ = 0;
  bool lastCallFaulted_ = false, quiet_ = false, pinsCounted_ = false, notedNoInstances_ = false;
  bool probedAnInstance_ = false;
  std::uint32_t displayNameAt_ = 0;
  int inputs_ = 0, outputs_ = 0;
};

const AreaRow Checker::kAreas[] = {
    {"exports", &Checker::CheckExports, Needs::kLoadedDll,
     "every entry point exported by its plain name, none only decorated"},
    {"stack", &Checker::CheckStackCleanup, Needs::kLoadedDll,
     "each entry point at each stack alignment takes exactly its arguments off the stack"},
    {"pins", &Checker::CheckPinRecord, Needs::kLoadedDll,
     "the pin record written only in the counts, the names and their NULs"},
    {"labels", &Checker::CheckLabels, Needs::kInstances,
     "the label texts readable, one address per part for its lifetime"},
    {"outputs", &Checker::CheckOutputs, Needs::kInstances,
     "outputs exactly 5.0 or 0.0, none behind the output count or in the inputs"},
    {"record", &Checker::CheckHostRecord, Needs::kInstances, "only the instance slot of the host's record written"},
    {"persistence", &Checker::CheckPersistence, Needs::kInstances,
     "the saved block ends with the marker, the reader stops right after it"},
    {"instances", &Checker::CheckInstances, Needs::kInstances, "two parts keep their settings and their state apart"},
    {"floating-point", &Checker::CheckFloatingPoint, Needs::kInstances,
     "the x87 and SSE state left as found, also with x87 exceptions unmasked on odd inputs"},
};

void Checker::Run() {
  listener_.Begin(kLoadArea);
  const bool loaded = Load();
  listener_.End(kLoadArea);
  if (!loaded) return;
  for (const AreaRow& row : kAreas) Judge(row);
}

int ProbeStage(const EntryPoint& entry) {
  if (entry.instance == entry_point::kPlacesInstance) return 0;
  return entry.instance == entry_point::kRemovesInstance ? 2 : 1;
}

}  // namespace

const std::vector<CheckArea>& CheckAreas() {
  static const std::vector<CheckArea> areas = [] {
    std::vector<CheckArea> all;
    for (const AreaRow& row : Checker::kAreas) all.push_back({row.name, row.description});
    return all;
  }();
  return areas;
}

std::uint32_t ProbeArguments::For(entry_point::Slot slot) const {
  switch (slot) {
    case entry_point::kDescribeFlag:
      return 1;
    case entry_point::kRecord:
      return record;
    case entry_point::kPins:
      return pins;
    case entry_point::kInputs:
      return in;
    case entry_point::kOutputs:
      return out;
    case entry_point::kParameters:
      return parameters;
    case entry_point::kEnables:
      return enables;
    case entry_point::kFile:
      return file;
    default:
      return 0;
  }
}

std::vector<ProbeCall> StackProbeCalls(const ProbeArguments& given) {
  std::vector<ProbeCall> calls;
  for (int stage = 0; stage < 3; ++stage)
    for (const EntryPoint& entry : kInterface) {
      if (ProbeStage(entry) != stage || entry.instance == entry_point::kDialogOfInstance) continue;
      ProbeCall call{&entry, {}};
      for (int k = 0; k < entry.stackSlots; ++k) call.arguments.push_back(given.For(entry.slots[k]));
      calls.push_back(call);
    }
  return calls;
}

void CheckPlugin(const std::string& path, FaultGuard& guard, CheckListener& listener, const CheckPlan& plan) {
  {
    Checker checker(path, guard, listener, plan);
    checker.Run();
    // The library is freed with the checker: its DllMain runs once more.
    listener.Begin(kUnloadArea);
  }
  listener.End(kUnloadArea);
}

}  // namespace host
