#include "fuzz.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "failure.h"
#include "fuzz_input.h"
#include "host_file.h"
#include "part_instance.h"
#include "paths.h"
#include "plugin_interface.h"
#include "plugin_library.h"
#include "plugin_writes.h"
#include "project_format.h"
#include "shown_text.h"
#include "signal_encoding.h"
#include "words.h"

namespace host {
namespace {

// Instances placed at once; each has a copy of the DLL of its own for its twin.
constexpr int kMostInstances = 3;

constexpr char kCopyPrefix[] = "hostsim-fuzz-";

std::string TemporaryFolder() {
  char folder[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder))
    throw Failure("cannot find the temporary folder: " + SystemErrorText(GetLastError()));
  return folder;
}

bool ProcessRuns(DWORD id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (!process) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

// A run that ended on a crash kept its copies loaded to the end, and one
// that a hang or an exception ended could not remove them: the copies of
// runs whose process is gone are removed at the start of the next.
void RemoveCopiesOfEndedRuns() {
  const std::string folder = TemporaryFolder();
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + kCopyPrefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const DWORD id = std::strtoul(found.cFileName + sizeof kCopyPrefix - 1, nullptr, 10);
    if (!ProcessRuns(id)) DeleteFileA((folder + found.cFileName).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// A copy of the DLL under a name of its own loads as a module of its own,
// with statics of its own: an instance placed in it has no other beside it.
class ModuleCopy {
 public:
  ModuleCopy(const std::string& original, int number, FaultGuard& guard) {
    path_ = TemporaryFolder() + kCopyPrefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(number) +
            "-" + FileName(original);
    if (!CopyFileA(original.c_str(), path_.c_str(), FALSE))
      throw Failure("cannot copy " + original + " to " + path_ + ": " + SystemErrorText(GetLastError()));
    library_ = LoadPlugin(path_, guard);
  }
  ~ModuleCopy() {
    library_.reset();
    DeleteFileA(path_.c_str());
  }
  ModuleCopy(const ModuleCopy&) = delete;
  ModuleCopy& operator=(const ModuleCopy&) = delete;

  PluginLibrary& Library() { return *library_; }
  // Unloading a module that crashed may crash again: it stays.
  void Abandon() { static_cast<void>(library_.release()); }

 private:
  std::string path_;
  std::unique_ptr<PluginLibrary> library_;
};

std::string FullPathOf(const PluginLibrary& library) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(library.Module(), path, MAX_PATH);
  return std::string(path, length);
}

// Seconds on the performance counter, which the calls per second of a
// short run need.
double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return double(count.QuadPart) / double(frequency.QuadPart);
}

std::string Shown(const std::string& windows1252) { return "\"" + ShownWindows1252(windows1252) + "\""; }

std::string ShownSignals(const SignalArray& values, int count) {
  std::string text;
  for (int k = 0; k < count; ++k) text += (k ? " " : "") + ShownSignal(values.Data() + k * kSignalSize);
  return text;
}

// One instance and its twin, which gets the same calls with the same
// arguments but lives alone: where the two part ways, another instance's
// calls changed the instance.
struct TwinnedInstance {
  int number = 0;  // 1, 2, 3 ... in the order placed, never given again
  std::unique_ptr<PartInstance> crowd, twin;
  int twinModule = -1;
  bool running = false;               // the initial evaluation made since the settings were last read
  const char* inputLabels = nullptr;  // the addresses the label texts were first given at
  const char* outputLabels = nullptr;
  std::string block;  // as last written
  HostRecord record;  // as the last call left it
  std::string Name() const { return "part " + std::to_string(number); }
};

enum class Action { kPlace, kRemove, kInitial, kSimulate, kEndRun, kSave, kLoad, kLabels, kDelay, kPins };

// How often each action comes: evaluations most, as in a simulation.
struct WeightedAction {
  Action action;
  std::uint32_t weight;
};
constexpr WeightedAction kActions[] = {
    {Action::kPlace, 4}, {Action::kRemove, 3}, {Action::kInitial, 8}, {Action::kSimulate, 40}, {Action::kEndRun, 2},
    {Action::kSave, 8},  {Action::kLoad, 12},  {Action::kLabels, 6},  {Action::kDelay, 4},     {Action::kPins, 3},
};

class Fuzzer {
 public:
  Fuzzer(const std::string& path, std::uint64_t seed, FaultGuard& guard, const FuzzOutput& output)
      : random_(seed), guard_(guard), output_(output), library_(LoadPlugin(path, guard)) {
    const PinDescription pins = DescribePins(*library_);
    inputNames_ = pins.inputs;
    outputNames_ = pins.outputs;
    const std::string original = FullPathOf(*library_);
    RemoveCopiesOfEndedRuns();
    for (int k = 0; k <= kMostInstances; ++k) copies_.push_back(std::make_unique<ModuleCopy>(original, k, guard));
    twinInUse_.assign(kMostInstances, false);
  }

  ~Fuzzer() {
    if (!crashed_) return;
    static_cast<void>(library_.release());
    for (const auto& copy : copies_) copy->Abandon();
  }

  FuzzOutcome Run(const FuzzBound& bound) {
    const double start = Now();
    auto seconds = [&] { return Now() - start; };
    while (findings_.empty() && (bound.calls ? calls_ < bound.calls : seconds() < bound.seconds)) {
      ++calls_;
      stage_ = "call " + std::to_string(calls_);
      Step();
    }
    if (findings_.empty()) RemoveEveryInstance();
    Report();
    return {calls_, int(findings_.size()), seconds()};
  }

 private:
  // ---- findings
  void Finding(const std::string& text) { findings_.push_back(text); }

  void Report() {
    if (findings_.empty()) return;
    std::string text = "FINDING " + stage_ + ": " + call_ + "\n";
    for (const std::string& finding : findings_) text += "  " + finding + "\n";
    output_(text);
  }

  // Every call into the plug-in: a crash is a finding, and after one
  // nothing more is called; so is a change of the floating-point state,
  // which the guard has undone. The guard's name for the call says which
  // it is where a hang or an exception ends the process.
  bool Guarded(const char* entryPoint, const std::string& whose, const std::function<void()>& call) {
    if (crashed_) return false;
    const std::string called = entryPoint + (whose.empty() ? "" : " on " + whose);
    guardName_ = stage_ + ": " + called;
    std::function<void()> guarded = call;
    const Fault fault = guard_.Run(guardName_.c_str(), guarded);
    if (!fault.floatingChange.empty()) Finding(called + " " + fault.floatingChange);
    if (!fault.happened) return true;
    crashed_ = true;
    Finding(called + " crashed: " + DescribeFault(fault));
    return false;
  }

  std::unique_ptr<PartInstance> PlaceIn(const PluginLibrary& library, const std::string& whose) {
    return std::make_unique<PartInstance>(
        library,
        [this, whose](const char* entryPoint, const std::function<void()>& call) {
          return Guarded(entryPoint, whose, call);
        },
        kSlack);
  }

  // ---- the sequence
  bool Possible(Action action) const {
    switch (action) {
      case Action::kPlace:
        return instances_.size() < std::size_t(kMostInstances);
      case Action::kSimulate:
        return std::any_of(instances_.begin(), instances_.end(),
                           [](const auto& instance) { return instance->running; });
      case Action::kEndRun:
      case Action::kPins:
        return true;
      default:
        return !instances_.empty();
    }
  }

  Action ChooseAction() {
    std::uint32_t total = 0;
    for (const WeightedAction& entry : kActions) total += entry.weight;
    for (;;) {
      std::uint32_t pick = random_.Below(total);
      const WeightedAction* chosen = kActions;
      for (; pick >= chosen->weight; ++chosen) pick -= chosen->weight;
      if (Possible(chosen->action)) return chosen->action;
    }
  }

  TwinnedInstance& AnyInstance() { return *instances_[random_.Below(std::uint32_t(instances_.size()))]; }

  TwinnedInstance& AnyRunningInstance() {
    std::vector<TwinnedInstance*> running;
    for (const auto& instance : instances_)
      if (instance->running) running.push_back(instance.get());
    return *running[random_.Below(std::uint32_t(running.size()))];
  }

  void Step() {
    const Action action = ChooseAction();
    TwinnedInstance* target = nullptr;
    switch (action) {
      case Action::kPlace:
        target = Place();
        break;
      case Action::kRemove:
        Remove(AnyInstance());
        break;
      case Action::kInitial:
      case Action::kSimulate:
        target = action == Action::kInitial ? &AnyInstance() : &AnyRunningInstance();
        Evaluate(*target, action == Action::kInitial);
        break;
      case Action::kEndRun:
        EndRun();
        break;
      case Action::kSave:
        target = &AnyInstance();
        Save(*target);
        break;
      case Action::kLoad:
        target = &AnyInstance();
        Load(*target, AnyInstance());
        break;
      case Action::kLabels:
        target = &AnyInstance();
        Labels(*target, random_.OneIn(2));
        break;
      case Action::kDelay:
        target = &AnyInstance();
        Delay(*target);
        break;
      case Action::kPins:
        Pins();
        break;
    }
    const bool evaluation = action == Action::kInitial || action == Action::kSimulate;
    JudgeUntouched(target, !evaluation);
  }

  // ---- placing and removing
  TwinnedInstance* Place() {
    auto instance = std::make_unique<TwinnedInstance>();
    instance->number = ++placed_;
    call_ = "InitUserDLL for " + instance->Name();
    const HostRecord fresh(nullptr, kSlack);
    instance->crowd = PlaceIn(*library_, instance->Name());
    if (crashed_) return nullptr;
    if (!instance->crowd->Placed()) {
      Finding("InitUserDLL leaves the instance slot (byte " + std::to_string(kInstanceSlotAt) + ") empty");
      return nullptr;
    }
    if (long b = instance->crowd->RecordBytes().FirstChangeBesidesSlot(fresh); b >= 0)
      Finding("InitUserDLL writes byte " + std::to_string(b) + " of the host record, not only the instance slot");
    for (const auto& other : instances_)
      if (other->crowd->RecordBytes().Slot() == instance->crowd->RecordBytes().Slot())
        Finding("InitUserDLL gives " + instance->Name() + " the instance of " + other->Name());
    instance->record = instance->crowd->RecordBytes();
    instance->twinModule = int(std::find(twinInUse_.begin(), twinInUse_.end(), false) - twinInUse_.begin());
    twinInUse_[instance->twinModule] = true;
    instance->twin = PlaceIn(copies_[instance->twinModule]->Library(), instance->Name() + "'s twin");
    if (crashed_) return nullptr;
    instance->block = WrittenBlock(*instance->crowd, scratch_);
    JudgeSaved(*instance, instance->block);
    instances_.push_back(std::move(instance));
    return instances_.back().get();
  }

  void Remove(TwinnedInstance& instance) {
    call_ = "DisposeUserDLL on " + instance.Name();
    const HostRecord before = instance.crowd->RecordBytes();
    instance.crowd->Remove();
    if (crashed_) return;
    if (long b = instance.crowd->RecordBytes().FirstChangeBesidesSlot(before); b >= 0)
      Finding("DisposeUserDLL writes byte " + std::to_string(b) + " of the host record, not only the instance slot");
    instance.twin->Remove();
    twinInUse_[instance.twinModule] = false;
    instances_.erase(
        std::find_if(instances_.begin(), instances_.end(), [&](const auto& p) { return p.get() == &instance; }));
  }

  // The instances left at the end are removed as the host removes them, and
  // judged as any call is.
  void RemoveEveryInstance() {
    stage_ = "the end, after call " + std::to_string(calls_);
    while (findings_.empty() && !instances_.empty()) {
      Remove(*instances_.front());
      JudgeUntouched(nullptr, true);
    }
  }

  // ---- evaluating
  void Evaluate(TwinnedInstance& instance, bool initial) {
    const char* entryPoint = initial ? HOST_LISTED(InitSimulationDLL2) : HOST_LISTED(SimulateDLL3);
    SignalArray in;
    for (int i = 0; i < int(inputNames_.size()); ++i) RandomSignal(random_, in.Data() + i * kSignalSize);
    call_ =
        std::string(entryPoint) + " on " + instance.Name() + ", inputs " + ShownSignals(in, int(inputNames_.size()));
    const SignalArray given = in;
    SignalArray out;
    const std::int32_t result = Evaluate(*instance.crowd, in, out, initial);
    if (crashed_) return;
    for (const std::string& fault : EvaluationFaults(entryPoint, given, in, out, int(outputNames_.size()), result))
      Finding(fault);
    SignalArray twinIn = given, twinOut;
    Evaluate(*instance.twin, twinIn, twinOut, initial);
    if (!crashed_ && twinOut != out)
      Finding("outputs " + ShownSignals(out, int(outputNames_.size())) + ", but its twin's " +
              ShownSignals(twinOut, int(outputNames_.size())) +
              " after the same calls with no other part beside it: another part's calls changed its state");
    instance.running = true;
  }

  static std::int32_t Evaluate(PartInstance& instance, SignalArray& in, SignalArray& out, bool initial) {
    if (!initial) return instance.Simulate(in, out);
    instance.Initial(in, out);
    return 0;
  }

  void EndRun() {
    call_ = HOST_LISTED(EndSimulationDLL2);
    Guarded(HOST_LISTED(EndSimulationDLL2), "", [&] { library_->EndSimulationDLL2(0); });
    for (const auto& instance : instances_) instance->running = false;
  }

  // ---- saving and loading
  void Save(TwinnedInstance& instance) {
    call_ = "WriteToFile on " + instance.Name();
    instance.block = WrittenBlock(*instance.crowd, scratch_);
    if (!crashed_) JudgeSaved(instance, instance.block);
  }

  void Load(TwinnedInstance& instance, const TwinnedInstance& source) {
    const FuzzBlock block = RandomBlock(random_, source.block);
    call_ = "ReadFromFile on " + instance.Name() + " of " + Shown(block.bytes) + " (" + block.kind + ")";
    const BlockRead read = ReadBlockAmidHostData(*instance.crowd, scratch_, block.bytes, block.withMarker);
    if (crashed_) return;
    if (read.fileChanged)
      Finding("ReadFromFile changes the file");
    else if (block.withMarker && read.taken != long(block.bytes.size()))
      Finding(StopFinding(read.taken, block.bytes.size()));
    ReadBlockAmidHostData(*instance.twin, scratch_, block.bytes, block.withMarker);
    instance.running = false;
    instance.block = WrittenBlock(*instance.crowd, scratch_);
    if (!crashed_) JudgeSaved(instance, instance.block);
  }

  static std::string StopFinding(long taken, std::size_t size) {
    return "ReadFromFile stops after " + std::to_string(taken) + " bytes of a " + std::to_string(size) +
           "-byte block, not right after the marker";
  }

  // A block the instance wrote ends with the marker, is its twin's, and a
  // fresh instance that reads it stops right after the marker and writes it
  // again as it was.
  void JudgeSaved(TwinnedInstance& instance, const std::string& block) {
    if (!EndsWithMarker(block)) {
      Finding("WriteToFile writes " + Shown(block) + ", which does not end with the marker");
      return;
    }
    const std::string twinBlock = WrittenBlock(*instance.twin, scratch_);
    if (crashed_) return;
    if (twinBlock != block)
      Finding("WriteToFile writes " + Shown(block) + ", but its twin " + Shown(twinBlock) +
              " after the same calls with no other part beside it");
    JudgeReadBack(block);
  }

  void JudgeReadBack(const std::string& block) {
    const auto fresh = PlaceIn(copies_.back()->Library(), "a fresh part");
    if (!fresh->Placed()) return;
    const BlockRead read = ReadBlockAmidHostData(*fresh, scratch_, block);
    if (crashed_) return;
    if (read.fileChanged)
      Finding("ReadFromFile changes the file");
    else if (read.taken != long(block.size()))
      Finding(StopFinding(read.taken, block.size()));
    const std::string again = WrittenBlock(*fresh, scratch_);
    if (!crashed_ && again != block) Finding("a fresh part that reads " + Shown(block) + " writes " + Shown(again));
  }

  // ---- labels and the delay flag
  void Labels(TwinnedInstance& instance, bool inputs) {
    const char* entryPoint = inputs ? HOST_LISTED(SetInputChar2) : HOST_LISTED(SetOutputChar2);
    const auto labels = inputs ? &PartInstance::InputLabels : &PartInstance::OutputLabels;
    const auto first = inputs ? &TwinnedInstance::inputLabels : &TwinnedInstance::outputLabels;
    call_ = std::string(entryPoint) + " on " + instance.Name();
    std::string text, twinText;
    const char* address = ((*instance.crowd).*labels)();
    if (!ReadText(entryPoint, address, text)) return;
    if (!(instance.*first)) instance.*first = address;
    if (instance.*first != address) Finding(std::string(entryPoint) + " gives " + instance.Name() + " a new address");
    for (const auto& other : instances_)
      if (other.get() != &instance && other.get()->*first == address)
        Finding(std::string(entryPoint) + " gives " + instance.Name() + " the address it gave " + other->Name());
    if (!ReadText(entryPoint, ((*instance.twin).*labels)(), twinText)) return;
    if (twinText != text)
      Finding(std::string(entryPoint) + " gives " + Shown(text) + ", but to its twin " + Shown(twinText));
  }

  bool ReadText(const char* entryPoint, const char* text, std::string& out) {
    if (crashed_) return false;
    const std::string reading = std::string("reading the text of ") + entryPoint;
    const ReturnedText read = ReadReturnedText(
        entryPoint, text, [&](const std::function<void()>& call) { return Guarded(reading.c_str(), "", call); });
    if (!read.fault.empty()) Finding(read.fault);
    out = read.text;
    return read.whole;
  }

  void Delay(TwinnedInstance& instance) {
    call_ = "HasDelayDLL on " + instance.Name();
    const std::int32_t delay = instance.crowd->HasDelay();
    const std::int32_t twinDelay = instance.twin->HasDelay();
    if (!crashed_ && delay != twinDelay)
      Finding("HasDelayDLL gives " + std::to_string(delay) + ", but to its twin " + std::to_string(twinDelay));
  }

  // ---- the pin record
  void Pins() {
    const unsigned char fill = static_cast<unsigned char>(random_.Below(256));
    const std::uint32_t before = random_.Below(2), describe = random_.Below(4) != 0, after = random_.Below(2);
    call_ = "GetNumberOfInputsOutputs2 on a pin record of bytes " + HexNumber(fill, 2) + ", arguments " +
            std::to_string(before) + ", " + std::to_string(describe) + ", " + std::to_string(after);
    std::vector<unsigned char> pins(kPinInfoSize + kSlack, fill);
    if (!Guarded(HOST_LISTED(GetNumberOfInputsOutputs2), "",
                 [&] { library_->GetNumberOfInputsOutputs2(pins.data(), before, describe, after); }))
      return;
    if (!describe) {
      const std::string undescribed = UndescribedPinRecordFault(pins, fill);
      if (!undescribed.empty()) Finding(undescribed);
      return;
    }
    JudgePinDescription(pins, fill);
  }

  void JudgePinDescription(const std::vector<unsigned char>& pins, unsigned char fill) {
    const int inputs = int(inputNames_.size()), outputs = int(outputNames_.size());
    if (pins[0] != inputs || pins[1] != outputs) {
      Finding("it gives " + std::to_string(pins[0]) + " inputs and " + std::to_string(pins[1]) + " outputs, at first " +
              std::to_string(inputs) + " and " + std::to_string(outputs));
      return;
    }
    for (const std::string& fault : PinRecordFaults(pins, fill, inputs, outputs)) Finding(fault);
    JudgePinNames(pins, kInputNameAt, inputNames_, "input");
    JudgePinNames(pins, kOutputNameAt, outputNames_, "output");
  }

  void JudgePinNames(const std::vector<unsigned char>& pins, std::size_t at, const std::vector<std::string>& names,
                     const char* side) {
    for (std::size_t k = 0; k < names.size(); ++k) {
      const char* slot = reinterpret_cast<const char*>(&pins[at + k * kNameSlot]);
      const std::string name(slot, strnlen(slot, kNameSlot));
      if (name != names[k])
        Finding("it names " + std::string(side) + " " + std::to_string(k) + " " + Shown(name) + ", at first " +
                Shown(names[k]));
    }
  }

  // ---- what no call may change
  // Every instance's host record is as it was, the target's but for what its
  // own placing did; and, but after evaluations, whose state only the twins
  // can tell, every other instance writes the block it wrote before.
  void JudgeUntouched(const TwinnedInstance* target, bool blocks) {
    for (const auto& instance : instances_) {
      if (crashed_) return;
      const HostRecord& now = instance->crowd->RecordBytes();
      const long b = now.FirstChangeBesidesSlot(instance->record);
      if (b >= 0 || now.Slot() != instance->record.Slot())
        Finding("byte " + std::to_string(b >= 0 ? b : long(kInstanceSlotAt)) + " of " + instance->Name() +
                "'s host record changes");
      instance->record = now;
      if (!blocks || instance.get() == target) continue;
      const std::string block = WrittenBlock(*instance->crowd, scratch_);
      if (!crashed_ && block != instance->block)
        Finding(instance->Name() + "'s block changes from " + Shown(instance->block) + " to " + Shown(block));
    }
  }

  FuzzRandom random_;
  FaultGuard& guard_;
  const FuzzOutput& output_;
  std::unique_ptr<PluginLibrary> library_;
  std::vector<std::string> inputNames_, outputNames_;
  // One copy per twin, and the last for the fresh instances that read blocks.
  std::vector<std::unique_ptr<ModuleCopy>> copies_;
  std::vector<bool> twinInUse_;
  ScratchFile scratch_;
  long calls_ = 0;
  int placed_ = 0;
  bool crashed_ = false;
  std::string stage_, call_, guardName_;
  std::vector<std::string> findings_;
  // Last, so that the instances are removed while all they need is still there.
  std::vector<std::unique_ptr<TwinnedInstance>> instances_;
};

}  // namespace

FuzzOutcome FuzzPlugin(const std::string& path, std::uint64_t seed, const FuzzBound& bound, FaultGuard& guard,
                       const FuzzOutput& output) {
  return Fuzzer(path, seed, guard, output).Run(bound);
}

}  // namespace host
