#include "plugin_library.h"

#include <cstring>

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

std::string PluginLibrary::Load(const std::string& path) {
  path_ = path;
  module_ = LoadLibraryA(path.c_str());
  if (!module_) return WhyNotLoaded(path, GetLastError());
  auto bind = [this](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(Find(name));
  };
  bind(IsUserDLL32, "IsUserDLL32");
  bind(GetDLLName, "GetDLLName");
  bind(GetNumberOfInputsOutputs2, "GetNumberOfInputsOutputs2");
  bind(GetParameterStruct, "GetParameterStruct");
  bind(GetDialogEnableStruct, "GetDialogEnableStruct");
  bind(SetEnhancedInformation2, "SetEnhancedInformation2");
  bind(CanSimulateDLL2, "CanSimulateDLL2");
  bind(InitUserDLL, "InitUserDLL");
  bind(DisposeUserDLL, "DisposeUserDLL");
  bind(InitSimulationDLL2, "InitSimulationDLL2");
  bind(SimulateDLL3, "SimulateDLL3");
  bind(EndSimulationDLL2, "EndSimulationDLL2");
  bind(SetInputChar2, "SetInputChar2");
  bind(SetOutputChar2, "SetOutputChar2");
  bind(ShowWindowDLL, "ShowWindowDLL");
  bind(HideWindowDLL, "HideWindowDLL");
  bind(DialogOK, "DialogOK");
  bind(WriteToFile, "WriteToFile");
  bind(ReadFromFile, "ReadFromFile");
  bind(CallParameterDialogDLL, "CallParameterDialogDLL");
  bind(HasDelayDLL, "HasDelayDLL");
  std::vector<std::string> missing = MissingEntryPoints();
  if (!missing.empty()) return path + " is not a plug-in: it does not export " + missing.front();
  return {};
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

PlacedPart::PlacedPart(const PluginLibrary& library, HWND hostWindow)
    : library_(library), record_(kHostRecordSize, 0) {
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
  unsigned char in[kMaxPins * kSignalSize] = {};
  unsigned char out[kMaxPins * kSignalSize] = {};
  for (std::size_t i = 0; i < volts.size() && i < std::size_t(kMaxPins); ++i) EncodeSignal(volts[i], in + i * kSignalSize);
  if (initial)
    library_.InitSimulationDLL2(0, 0, 0, record_.data(), in, out);
  else
    library_.SimulateDLL3(0, 0, 0, 0, 0, 0, record_.data(), in, out);
  std::vector<double> result;
  for (int j = 0; j < outputs_; ++j) result.push_back(DecodeSignal(out + j * kSignalSize));
  return result;
}

void PlacedPart::LoadSettings(const std::string& block) {
  HostFile file;
  if (!file.CreateScratch().empty()) return;
  file.Write(block);
  file.Seek(0);
  library_.ReadFromFile(file.Argument(), record_.data());
}

std::string PlacedPart::SavedBlock() {
  HostFile file;
  if (!file.CreateScratch().empty()) return {};
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
