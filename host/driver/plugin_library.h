// A plug-in DLL loaded the way the host loads it: LoadLibrary, then every
// entry point by its plain name.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin_interface.h"

namespace host {

// A plug-in that crashed in a call a command made: the message names the
// DLL, the entry point and the fault.
struct PartFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

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

  // One call into the plug-in, under the command's fault guard where one
  // is set: a fault ends the call and throws PartFailure, and from then on
  // nothing more is called in any plug-in, their clean-up included.
  void Call(const char* entryPoint, const std::function<void()>& call, bool timed = true) const;
  static bool APartFailed();
  // A failure of a part's clean-up, which came too late to be thrown;
  // empty where none came.
  static std::string& LateFailure();
  // GetDLLName's text, called as above.
  const char* DisplayName() const;

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

// A library loaded, or a Failure as Load throws it.
std::unique_ptr<PluginLibrary> LoadPlugin(const std::string& path);

}  // namespace host
