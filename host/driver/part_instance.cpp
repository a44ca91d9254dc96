#include "part_instance.h"

#include <cstring>

#include "fault_guard.h"
#include "host_file.h"

namespace host {

HostRecord::HostRecord(HWND hostWindow, std::size_t guardBytes) : bytes_(kHostRecordSize + guardBytes, kFill) {
  std::memcpy(bytes_.data() + kHostWindowAt, &hostWindow, sizeof hostWindow);
}

std::uint32_t HostRecord::Slot() const {
  std::uint32_t slot;
  std::memcpy(&slot, bytes_.data() + kInstanceSlotAt, sizeof slot);
  return slot;
}

long HostRecord::FirstChangeBesidesSlot(const HostRecord& before) const {
  for (std::size_t b = 0; b < bytes_.size(); ++b)
    if (bytes_[b] != before.bytes_[b] && (b < kInstanceSlotAt || b >= kInstanceSlotAt + 4)) return long(b);
  return -1;
}

PartInstance::PartInstance(const PluginLibrary& library, HWND hostWindow)
    : PartInstance(library, nullptr, hostWindow, 0) {}

PartInstance::PartInstance(const PluginLibrary& library, CallGuard guard, std::size_t guardBytes)
    : PartInstance(library, std::move(guard), nullptr, guardBytes) {}

PartInstance::PartInstance(const PluginLibrary& library, CallGuard guard, HWND hostWindow, std::size_t guardBytes)
    : library_(library), guard_(std::move(guard)), record_(hostWindow, guardBytes) {
  placed_ = Call(HOST_LISTED(InitUserDLL), [&] { library_.InitUserDLL(record_.Data()); }) && record_.Slot() != 0;
}

PartInstance::~PartInstance() {
  try {
    Remove();
  } catch (const PartFailure& failure) {
    // Only a guarded call throws one.
    library_.Guard()->NoteLateFailure(failure.what());
  }
}

void PartInstance::Remove() {
  if (!placed_ || library_.APartCrashed()) return;
  placed_ = false;
  Call(HOST_LISTED(DisposeUserDLL), [&] { library_.DisposeUserDLL(record_.Data()); });
}

bool PartInstance::Call(const char* entryPoint, const std::function<void()>& call, bool timed) {
  if (guard_) return guard_(entryPoint, call);
  library_.Call(entryPoint, call, timed);
  return true;
}

void PartInstance::ReadPinCounts() {
  if (inputs_ >= 0) return;
  std::vector<unsigned char> pins(kPinInfoSize, 0);
  Call(HOST_LISTED(GetNumberOfInputsOutputs2), [&] { library_.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0); });
  inputs_ = pins[0];
  outputs_ = pins[1];
}

int PartInstance::Inputs() {
  ReadPinCounts();
  return inputs_;
}

int PartInstance::Outputs() {
  ReadPinCounts();
  return outputs_;
}

std::vector<double> PartInstance::Evaluate(const std::vector<double>& volts, bool initial) {
  SignalArray in, out;
  for (std::size_t i = 0; i < volts.size() && i < std::size_t(kMaxPins); ++i)
    EncodeSignal(volts[i], in.Data() + i * kSignalSize);
  if (initial)
    Initial(in, out);
  else
    Simulate(in, out);
  std::vector<double> outputs;
  for (int j = 0; j < Outputs(); ++j) outputs.push_back(DecodeSignal(out.Data() + j * kSignalSize));
  return outputs;
}

void PartInstance::Initial(const SignalArray& in, SignalArray& out) {
  Call(HOST_LISTED(InitSimulationDLL2),
       [&] { library_.InitSimulationDLL2(0, 0, 0, record_.Data(), in.Data(), out.Data()); });
}

std::int32_t PartInstance::Simulate(const SignalArray& in, SignalArray& out) {
  std::int32_t result = 0;
  Call(HOST_LISTED(SimulateDLL3),
       [&] { result = CallSimulate(library_.SimulateDLL3, record_.Data(), in.Data(), out.Data()); });
  return result;
}

const char* PartInstance::InputLabels() {
  const char* labels = nullptr;
  Call(HOST_LISTED(SetInputChar2), [&] { labels = library_.SetInputChar2(record_.Data()); });
  return labels;
}

const char* PartInstance::OutputLabels() {
  const char* labels = nullptr;
  Call(HOST_LISTED(SetOutputChar2), [&] { labels = library_.SetOutputChar2(record_.Data()); });
  return labels;
}

std::int32_t PartInstance::HasDelay() {
  std::int32_t delay = 0;
  Call(HOST_LISTED(HasDelayDLL), [&] { delay = library_.HasDelayDLL(record_.Data()); });
  return delay;
}

void PartInstance::Write(std::uint32_t fileArgument) {
  Call(HOST_LISTED(WriteToFile), [&] { library_.WriteToFile(fileArgument, record_.Data()); });
}

void PartInstance::Read(std::uint32_t fileArgument) {
  Call(HOST_LISTED(ReadFromFile), [&] { library_.ReadFromFile(fileArgument, record_.Data()); });
}

void PartInstance::LoadSettings(const std::string& block) {
  HostFile file;
  file.CreateScratch();
  file.Write(block);
  file.Seek(0);
  Read(file.Argument());
}

std::string PartInstance::SavedBlock() {
  HostFile file;
  file.CreateScratch();
  Write(file.Argument());
  file.Seek(0);
  return file.ReadRest();
}

void PartInstance::OpenDialog(unsigned char* pinRecord) {
  Call(
      HOST_LISTED(CallParameterDialogDLL), [&] { library_.CallParameterDialogDLL(record_.Data(), pinRecord); }, false);
}

PinDescription DescribePins(const PluginLibrary& library) {
  std::vector<unsigned char> pins(kPinInfoSize, 0);
  library.Call(HOST_LISTED(GetNumberOfInputsOutputs2),
               [&] { library.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0); });
  PinDescription description;
  for (int i = 0; i < pins[0] && i < kMaxPins; ++i)
    description.inputs.emplace_back(reinterpret_cast<const char*>(&pins[kInputNameAt + i * kNameSlot]));
  for (int j = 0; j < pins[1] && j < kMaxPins; ++j)
    description.outputs.emplace_back(reinterpret_cast<const char*>(&pins[kOutputNameAt + j * kNameSlot]));
  return description;
}

}  // namespace host
