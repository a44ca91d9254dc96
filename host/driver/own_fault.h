// hostsim's own faults, told apart from a part's. A fault inside a guarded
// call is the part's (fault_guard.h); what goes wrong anywhere else is
// hostsim's, unless the faulting code lies in a plug-in's own image (its
// start-up, clean-up or a thread of its own). The report of a fault of
// hostsim's own says what it was doing and the last call into a part,
// since a part that damaged hostsim's memory shows only later.
#pragma once

#include <string>

namespace host {

// Exit statuses of every command.
constexpr int kExitDone = 0;
constexpr int kExitNegative = 1;  // a negative answer about a part, or a part that failed
constexpr int kExitBadInput = 2;
constexpr int kExitOwnFault = 3;  // hostsim's own fault

// Names a step of hostsim's work while it lasts; steps nest.
class Activity {
 public:
  explicit Activity(const std::string& step);
  ~Activity();
  Activity(const Activity&) = delete;
  Activity& operator=(const Activity&) = delete;
};

// "running test; reading Morrel.vectors", or "starting" before any step.
std::string CurrentActivity();

// The plug-in files loaded or being loaded, whose code a fault address
// may lie in.
void NotePluginFile(const std::string& fullPath);

// The plug-in file whose image holds `address`; empty where none does.
std::string PluginAt(const void* address);
// The file name of the module holding `address`, or kNoModule.
inline const std::string kNoModule = "no module";
std::string ModuleAt(const void* address);

// The message for a fault of hostsim's own: what it was doing, what went
// wrong, and the last call into a part where one was made.
std::string OwnFaultMessage(const std::string& what);

}  // namespace host
