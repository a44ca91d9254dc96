// A plug-in DLL loaded the way the host loads it: LoadLibrary, then every
// entry point by its plain name. A DLL argument names exactly one file,
// and the library knows which: its full path.
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

// A call that came back but left the floating-point state changed: the
// message names the DLL, the entry point and the state before and after.
// The host's state is back in place, so the plug-in may be called again.
struct FloatingStateChanged : PartFailure {
  using PartFailure::PartFailure;
};

class FaultGuard;

class PluginLibrary {
 public:
  // Its calls run under `guard`; a library without one calls straight
  // through, as the DLL tests do.
  explicit PluginLibrary(FaultGuard* guard = nullptr) : guard_(guard) {}
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary();

  // Loads the file LocateDll finds for `name`, with its own folder first
  // on the search path of its dependencies. Throws a Failure that names
  // the file and what is wrong with it: LocateDll's, it does not load (its
  // DllMain refuses, a DLL it needs is missing), or it lacks an entry
  // point (then it stays loaded, so that `check` can judge what it has).
  void Load(const std::string& name);
  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  // The full path of the file, known once it was found, loaded or not.
  const std::string& Path() const { return path_; }

  // One call into the plug-in, under its guard where it has one: a fault
  // ends the call and throws PartFailure, and from then on nothing more is
  // called in any plug-in under that guard, their clean-up included; a
  // change of the floating-point state throws FloatingStateChanged.
  void Call(const char* entryPoint, const std::function<void()>& call, bool timed = true) const;
  // The guard its calls run under, or null.
  FaultGuard* Guard() const { return guard_; }
  bool APartCrashed() const;
  // GetDLLName's text, called as above.
  const char* DisplayName() const;

  // Address of an export by plain name, or null.
  const void* Find(const char* name) const;
  std::vector<std::string> MissingEntryPoints() const;

  // Every entry point by its plain name, null when the DLL lacks it.
#define HOST_ENTRY_POINT_MEMBER(name, ...) name##Fn name = nullptr;
  HOST_ENTRY_POINTS(HOST_ENTRY_POINT_MEMBER)
#undef HOST_ENTRY_POINT_MEMBER

 private:
  FaultGuard* guard_ = nullptr;
  HMODULE module_ = nullptr;
  std::string path_;
};

// The one file a DLL argument stands for, as a full path. A name with a
// folder part is that file and no other. A bare name is the file of that
// name in `firstFolder` or, where there is none, the one in `thenFolder`:
// for a command line the current folder and hostsim's. Throws a Failure
// where that is no 32-bit Windows DLL: none there, a folder, a program, a
// DLL for another processor, any other file.
std::string LocateDll(const std::string& name, const std::string& firstFolder, const std::string& thenFolder);
std::string LocateDll(const std::string& name);

// A library loaded, its calls under `guard`, or a Failure as Load throws
// it.
std::unique_ptr<PluginLibrary> LoadPlugin(const std::string& path, FaultGuard& guard);

}  // namespace host
