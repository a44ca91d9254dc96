#include "plugin_library.h"

#include <cstring>

#include "failure.h"
#include "host_file.h"
#include "signal_encoding.h"

namespace host {
namespace {

// What a path names where the loader looks for it: a name without a
// folder also beside hostsim and on the search path.
DWORD AttributesOf(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  char found[MAX_PATH];
  if (attributes == INVALID_FILE_ATTRIBUTES && path.find_first_of("\\/:") == std::string::npos &&
      SearchPathA(nullptr, path.c_str(), nullptr, MAX_PATH, found, nullptr))
    attributes = GetFileAttributesA(found);
  return attributes;
}

// The loader's error codes say little to a user; the common cases in words.
std::string WhyNotLoaded(const std::string& path, DWORD error) {
  const DWORD attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return path + ": no such file";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return path + " is a folder, not a DLL";
  if (error == ERROR_BAD_EXE_FORMAT) return path + " is not a 32-bit Windows DLL";
  if (error == ERROR_MOD_NOT_FOUND) return "cannot load " + path + ": a DLL it needs is missing";
  return "cannot load " + path + ": " + SystemErrorText(error);
}

}  // namespace

PluginLibrary::~PluginLibrary() {
  if (module_) FreeLibrary(module_);
}

void PluginLibrary::Load(const std::string& path) {
  path_ = path;
  module_ = LoadLibraryA(path.c_str());
  if (!module_) throw Failure(WhyNotLoaded(path, GetLastError()));
  auto bind = [this](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(Find(name));
  };
#define HOST_BIND_ENTRY_POINT(name, result, optional, ...) bind(name, #name);
  HOST_ENTRY_POINTS(HOST_BIND_ENTRY_POINT)
#undef HOST_BIND_ENTRY_POINT
  std::vector<std::string> missing = MissingEntryPoints();
  if (!missing.empty()) throw Failure(path + " is not a plug-in: it does not export " + missing.front());
}

const void* PluginLibrary::Find(const char* name) const {
  return module_ ? reinterpret_cast<const void*>(GetProcAddress(module_, name)) : nullptr;
}

std::vector<std::string> PluginLibrary::MissingEntryPoints() const {
  std::vector<std::string> missing;
  for (const EntryPointName& entry : kEntryPoints)
    if (!entry.optional && !Find(entry.name)) missing.push_back(entry.name);
  return missing;
}

// The record's bytes other than the two the plug-in may look at are the
// host's own: 0xCD, so that a plug-in reading them would show.
PlacedPart::PlacedPart(const PluginLibrary& library, HWND hostWindow)
    : library_(library), record_(kHostRecordSize, 0xCD) {
  std::memcpy(record_.data() + kHostWindowAt, &hostWindow, sizeof hostWindow);
  library_.InitUserDLL(record_.data());
  std::vector<unsigned char> pins(kPinInfoSize, 0);
  library_.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0);
  inputs_ = pins[0];
  outputs_ = pins[1];
}

PlacedPart::~PlacedPart() { library_.DisposeUserDLL(record_.data()); }

void* PlacedPart::InstanceSlot() const {
  void* instance;
  std::memcpy(&instance, record_.data() + kInstanceSlotAt, sizeof instance);
  return instance;
}

std::vector<double> PlacedPart::Evaluate(const std::vector<double>& volts, bool initial) {
  SignalArray in, out;
  for (std::size_t i = 0; i < volts.size() && i < std::size_t(kMaxPins); ++i)
    EncodeSignal(volts[i], in.Data() + i * kSignalSize);
  if (initial)
    Initial(in, out);
  else
    Simulate(in, out);
  std::vector<double> result;
  for (int j = 0; j < outputs_; ++j) result.push_back(DecodeSignal(out.Data() + j * kSignalSize));
  return result;
}

void PlacedPart::Initial(const SignalArray& in, SignalArray& out) {
  library_.InitSimulationDLL2(0, 0, 0, record_.data(), in.Data(), out.Data());
}

std::int32_t PlacedPart::Simulate(const SignalArray& in, SignalArray& out) {
  return library_.SimulateDLL3(0, 0, 0, 0, 0, 0, record_.data(), in.Data(), out.Data());
}

void PlacedPart::LoadSettings(const std::string& block) {
  HostFile file;
  file.CreateScratch();
  file.Write(block);
  file.Seek(0);
  library_.ReadFromFile(file.Argument(), record_.data());
}

std::string PlacedPart::SavedBlock() {
  HostFile file;
  file.CreateScratch();
  library_.WriteToFile(file.Argument(), record_.data());
  file.Seek(0);
  return file.ReadRest();
}

PinDescription DescribePins(const PluginLibrary& library) {
  std::vector<unsigned char> pins(kPinInfoSize, 0);
  library.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0);
  PinDescription description;
  for (int i = 0; i < pins[0] && i < kMaxPins; ++i)
    description.inputs.emplace_back(reinterpret_cast<const char*>(&pins[kInputNameAt + i * kNameSlot]));
  for (int j = 0; j < pins[1] && j < kMaxPins; ++j)
    description.outputs.emplace_back(reinterpret_cast<const char*>(&pins[kOutputNameAt + j * kNameSlot]));
  return description;
}

}  // namespace host
