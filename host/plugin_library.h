// A plug-in DLL loaded the way the host loads it: LoadLibrary, then every
// entry point by its plain name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "plugin_interface.h"

namespace host {

class PluginLibrary {
 public:
  PluginLibrary() = default;
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary();

  // Gives an empty string on success, else what went wrong in one line.
  std::string Load(const std::string& path);
  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  const std::string& Path() const { return path_; }

  // Address of an export by plain name, or null.
  const void* Find(const char* name) const;
  std::vector<std::string> MissingEntryPoints() const;

  IsUserDLL32Fn IsUserDLL32 = nullptr;
  GetDLLNameFn GetDLLName = nullptr;
  GetNumberOfInputsOutputs2Fn GetNumberOfInputsOutputs2 = nullptr;
  GetParameterStructFn GetParameterStruct = nullptr;
  GetDialogEnableStructFn GetDialogEnableStruct = nullptr;
  SetEnhancedInformation2Fn SetEnhancedInformation2 = nullptr;
  CanSimulateDLL2Fn CanSimulateDLL2 = nullptr;
  RecordFn InitUserDLL = nullptr;
  RecordFn DisposeUserDLL = nullptr;
  InitSimulationDLL2Fn InitSimulationDLL2 = nullptr;
  SimulateDLL3Fn SimulateDLL3 = nullptr;
  ValueFn EndSimulationDLL2 = nullptr;
  LabelsFn SetInputChar2 = nullptr;
  LabelsFn SetOutputChar2 = nullptr;
  ValueFn ShowWindowDLL = nullptr;
  RecordFn HideWindowDLL = nullptr;
  ValueFn DialogOK = nullptr;
  FileFn WriteToFile = nullptr;
  FileFn ReadFromFile = nullptr;
  CallParameterDialogDLLFn CallParameterDialogDLL = nullptr;
  HasDelayDLLFn HasDelayDLL = nullptr;

 private:
  HMODULE module_ = nullptr;
  std::string path_;
};

// One placed component: the host's record with the plug-in's instance in it.
class PlacedPart {
 public:
  explicit PlacedPart(const PluginLibrary& library, HWND hostWindow = nullptr);
  ~PlacedPart();
  PlacedPart(const PlacedPart&) = delete;
  PlacedPart& operator=(const PlacedPart&) = delete;

  unsigned char* Record() { return record_.data(); }
  void* InstanceSlot() const;
  const PluginLibrary& Library() const { return library_; }

  // Pin counts as the plug-in describes them.
  int Inputs() const { return inputs_; }
  int Outputs() const { return outputs_; }

  // One evaluation; `initial` for the first of a run. Voltages in and out.
  std::vector<double> Evaluate(const std::vector<double>& volts, bool initial);

  // Settings the only way a host can give them: a block read by
  // ReadFromFile from a file. And the block WriteToFile writes.
  void LoadSettings(const std::string& block);
  std::string SavedBlock();

 private:
  const PluginLibrary& library_;
  std::vector<unsigned char> record_;
  int inputs_ = 0;
  int outputs_ = 0;
};

// The pin names and counts the plug-in writes into a fresh record.
struct PinDescription {
  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
};
PinDescription DescribePins(const PluginLibrary& library);

}  // namespace host
