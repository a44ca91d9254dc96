// A plug-in DLL loaded the way the host loads it: LoadLibrary, then every
// entry point by its plain name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "plugin_interface.h"
#include "signal_encoding.h"

namespace host {

class PluginLibrary {
 public:
  PluginLibrary() = default;
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary();

  // Throws a Failure that names the file and what is wrong with it: it
  // does not load, or it lacks an entry point (then it stays loaded, so
  // that `check` can judge what it has).
  void Load(const std::string& path);
  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  const std::string& Path() const { return path_; }

  // Address of an export by plain name, or null.
  const void* Find(const char* name) const;
  std::vector<std::string> MissingEntryPoints() const;

  // Every entry point by its plain name, null when the DLL lacks it.
#define HOST_ENTRY_POINT_MEMBER(name, result, optional, ...) name##Fn name = nullptr;
  HOST_ENTRY_POINTS(HOST_ENTRY_POINT_MEMBER)
#undef HOST_ENTRY_POINT_MEMBER

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

  // One evaluation; `initial` for the first of a run. Voltages in and out,
  // or the host's arrays themselves.
  std::vector<double> Evaluate(const std::vector<double>& volts, bool initial);
  void Initial(const SignalArray& in, SignalArray& out);
  std::int32_t Simulate(const SignalArray& in, SignalArray& out);

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
