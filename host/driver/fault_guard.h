// Calls into a plug-in that may be broken. A processor exception inside the
// call (an access violation, an illegal instruction, ...) ends the call
// rather than the host, and a call that never returns ends the process with
// a note instead of hanging it. The guard sees a fault before the plug-in's
// own exception handlers do, so a fault the plug-in would have caught
// itself still counts: a host cannot rely on such handlers either. A call
// that comes back must leave the floating-point state as it found it
// (floating_state.h); where it does not, the guard says what changed and
// puts the state back, so that the host goes on as before.
#pragma once

#include <cstdio>
#include <string>

namespace host {

struct Fault {
  bool happened = false;
  unsigned long code = 0;
  const void* address = nullptr;
  // Where the call came back: what it changed of the floating-point state
  // ("changes the x87 control word from ..."), empty where nothing.
  std::string floatingChange = {};
};

// "access violation at 0x6a8c1234" and the like.
std::string DescribeFault(const Fault& fault);

class FaultGuard {
 public:
  // `hangNote` is printed on `report`, followed by the name of the call,
  // when a call runs longer than `seconds`; the process then exits with
  // status 1.
  FaultGuard(const std::string& hangNote, int seconds, std::FILE* report = stdout);
  ~FaultGuard();
  FaultGuard(const FaultGuard&) = delete;
  FaultGuard& operator=(const FaultGuard&) = delete;

  // What is printed for a hang from now on.
  void SetHangReport(const std::string& hangNote, std::FILE* report);

  // The name of the call running under a guard, or null.
  static const char* CallInProgress();
  // The name of the last call made under a guard, cut to 127 bytes;
  // empty before the first.
  static std::string LastCall();

  // What the calls under this guard left behind, for the command that
  // made them. Once a part has crashed, nothing more is called in any
  // plug-in, their clean-up included: its code may crash again.
  void NotePartCrashed() { partCrashed_ = true; }
  bool APartCrashed() const { return partCrashed_; }
  // A failure of a part's clean-up, which came too late to be thrown;
  // empty where none came.
  void NoteLateFailure(const std::string& failure) { lateFailure_ = failure; }
  const std::string& LateFailure() const { return lateFailure_; }

  // `timed` false for a call that may rightly wait as long as its user
  // does: a modal dialog.
  template <class Call>
  Fault Run(const char* name, Call& call, bool timed = true) {
    return RunCallback(
        name, [](void* context) { (*static_cast<Call*>(context))(); }, &call, timed);
  }

 private:
  Fault RunCallback(const char* name, void (*callback)(void*), void* context, bool timed);
  void* handler_ = nullptr;
  void* watchdog_ = nullptr;
  bool partCrashed_ = false;
  std::string lateFailure_;
};

// Whether a call started at tick `startedAt` has run longer than `limit`
// ms at tick `now`, both from GetTickCount. A start later than `now` has
// not run at all.
bool RunPastLimit(unsigned long startedAt, unsigned long now, unsigned long limit);

}  // namespace host
