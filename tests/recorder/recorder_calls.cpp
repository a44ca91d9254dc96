// Calls a part through its recorder in orders hostsim's commands never make:
//   recorder_calls early-simulation DLL  evaluations before any pin query
//   recorder_calls unknown-export DLL    HasDelayDLL@4, which the interface
//                                        does not name
//   recorder_calls crash DLL             DisposeUserDLL on an empty record
//                                        faults; the host goes on, faults
//                                        again and unloads the part
// Prints a line per call that faulted; exit status 2 where the DLL or an
// entry point is missing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fault_guard.h"
#include "part_instance.h"
#include "signal_encoding.h"

namespace {

HMODULE dll;

template <class Function>
Function Find(const char* name) {
  auto* found = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
  if (found) return found;
  std::printf("no %s\n", name);
  std::exit(2);
}

// The full adder's eight input patterns.
void EarlySimulation() {
  host::HostRecord record;
  host::SignalArray in, out;
  Find<host::InitUserDLLFn>("InitUserDLL")(record.Data());
  Find<host::InitSimulationDLL2Fn>("InitSimulationDLL2")(0, 0, 0, record.Data(), in.Data(), out.Data());
  for (int pattern = 0; pattern < 8; ++pattern) {
    for (int pin = 0; pin < 3; ++pin) {
      unsigned char value[host::kSignalSize];
      host::EncodeSignal(pattern >> pin & 1 ? 5.0 : 0.0, value);
      in.Set(pin, value);
    }
    host::CallSimulate(Find<host::SimulateDLL3Fn>("SimulateDLL3"), record.Data(), in.Data(), out.Data());
  }
  Find<host::DisposeUserDLLFn>("DisposeUserDLL")(record.Data());
}

void UnknownExport() {
  host::HostRecord record;
  Find<host::InitUserDLLFn>("InitUserDLL")(record.Data());
  Find<host::HasDelayDLLFn>("HasDelayDLL@4")(record.Data());
  Find<host::DisposeUserDLLFn>("DisposeUserDLL")(record.Data());
}

// Calls 1 and 3 fault; call 2, on the same thread, comes after the first.
void Crash() {
  host::FaultGuard guard("hangs:", 60);
  host::HostRecord empty;
  auto dispose = [&] { Find<host::DisposeUserDLLFn>("DisposeUserDLL")(empty.Data()); };
  auto askName = [&] { Find<host::GetDLLNameFn>("GetDLLName")(); };
  if (guard.Run("DisposeUserDLL", dispose).happened) std::printf("DisposeUserDLL faulted\n");
  guard.Run("GetDLLName", askName);
  if (guard.Run("DisposeUserDLL", dispose).happened) std::printf("DisposeUserDLL faulted\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string order = argc == 3 ? argv[1] : "";
  void (*run)() = order == "early-simulation" ? EarlySimulation
                  : order == "unknown-export" ? UnknownExport
                  : order == "crash"          ? Crash
                                              : nullptr;
  if (!run) {
    std::fprintf(stderr, "usage: recorder_calls early-simulation|unknown-export|crash DLL\n");
    return 2;
  }
  if (!(dll = LoadLibraryA(argv[2]))) {
    std::printf("%s does not load: error %lu\n", argv[2], GetLastError());
    return 2;
  }
  run();
  FreeLibrary(dll);
  return 0;
}
