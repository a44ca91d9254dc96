// Calls into a plug-in that may be broken. A processor exception inside the
// call (an access violation, an illegal instruction, ...) ends the call
// rather than the host, and a call that never returns ends the process with
// a note instead of hanging it. The guard sees a fault before the plug-in's
// own exception handlers do, so a fault the plug-in would have caught
// itself still counts: a host cannot rely on such handlers either.
#pragma once

#include <string>

namespace host {

struct Fault {
  bool happened = false;
  unsigned long code = 0;
  const void* address = nullptr;
};

// "access violation at 0x6a8c1234" and the like.
std::string DescribeFault(const Fault& fault);

class FaultGuard {
 public:
  // `hangNote` is printed, followed by the name of the call, when a call
  // runs longer than `seconds`; the process then exits with status 1.
  FaultGuard(const std::string& hangNote, int seconds);
  ~FaultGuard();
  FaultGuard(const FaultGuard&) = delete;
  FaultGuard& operator=(const FaultGuard&) = delete;

  template <class Call>
  Fault Run(const char* name, Call& call) {
    return RunCallback(
        name, [](void* context) { (*static_cast<Call*>(context))(); }, &call);
  }

 private:
  Fault RunCallback(const char* name, void (*callback)(void*), void* context);
  void* handler_ = nullptr;
  void* watchdog_ = nullptr;
};

}  // namespace host
