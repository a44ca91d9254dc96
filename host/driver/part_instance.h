// One instance of a part as the host keeps it: the host's record with the
// plug-in's instance in its slot, and every call the host makes for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin_library.h"
#include "signal_encoding.h"

namespace host {

// The host's record of one instance. Its bytes other than the two the plug-in
// may look at are the host's own, 0xCD, so that a plug-in reading them
// would show; guard bytes behind it take a plug-in's writes past its end.
class HostRecord {
 public:
  static constexpr unsigned char kFill = 0xCD;

  explicit HostRecord(HWND hostWindow = nullptr, std::size_t guardBytes = 0);
  unsigned char* Data() { return bytes_.data(); }
  std::uint32_t Slot() const;
  // The first byte, other than the instance slot, that differs from
  // `before`; -1 where none does.
  long FirstChangeBesidesSlot(const HostRecord& before) const;

 private:
  std::vector<unsigned char> bytes_;
};

// The one way the host calls SimulateDLL3: its six leading slots 0, then
// the record and the two signal arrays.
inline std::int32_t CallSimulate(SimulateDLL3Fn simulate, unsigned char* record, const unsigned char* in,
                                 unsigned char* out) {
  return simulate(0, 0, 0, 0, 0, 0, record, in, out);
}

// Makes one call into the plug-in; false when the call did not come back
// (a fault that the guard caught and ended).
using CallGuard = std::function<bool(const char* entryPoint, const std::function<void()>& call)>;
// Without a CallGuard of its own, an instance calls through its library, under
// the library's guard (PluginLibrary::Call).

class PartInstance {
 public:
  // An instance as the host places it: straight calls, owned by `hostWindow`.
  explicit PartInstance(const PluginLibrary& library, HWND hostWindow = nullptr);
  // An instance of a plug-in not trusted: every call through `guard`, a record
  // with guard bytes behind it and no host window.
  PartInstance(const PluginLibrary& library, CallGuard guard, std::size_t guardBytes);
  ~PartInstance();
  PartInstance(const PartInstance&) = delete;
  PartInstance& operator=(const PartInstance&) = delete;

  // InitUserDLL came back and filled the instance slot.
  bool Placed() const { return placed_; }
  // DisposeUserDLL now rather than at the end of the instance's life.
  void Remove();

  const PluginLibrary& Library() const { return library_; }
  unsigned char* Record() { return record_.Data(); }
  const HostRecord& RecordBytes() const { return record_; }
  void* InstanceSlot() const { return reinterpret_cast<void*>(std::uintptr_t(record_.Slot())); }

  // Pin counts as the plug-in describes them, asked for once.
  int Inputs();
  int Outputs();

  // One evaluation in volts; `initial` for the first of a run.
  std::vector<double> Evaluate(const std::vector<double>& volts, bool initial);
  // The same on the host's own arrays; Simulate gives SimulateDLL3's result.
  void Initial(const SignalArray& in, SignalArray& out);
  std::int32_t Simulate(const SignalArray& in, SignalArray& out);

  // Null where the plug-in gives none (or the guard ended the call).
  const char* InputLabels();
  const char* OutputLabels();
  std::int32_t HasDelay();

  // WriteToFile and ReadFromFile on the handle as the host passes it.
  void Write(std::uint32_t fileArgument);
  void Read(std::uint32_t fileArgument);
  // Settings the only way a host can give them: a block read by
  // ReadFromFile from a file. And the block WriteToFile writes.
  void LoadSettings(const std::string& block);
  std::string SavedBlock();

  // The properties dialog, modal; the plug-in may write the pin record.
  void OpenDialog(unsigned char* pinRecord);

 private:
  PartInstance(const PluginLibrary& library, CallGuard guard, HWND hostWindow, std::size_t guardBytes);
  bool Call(const char* entryPoint, const std::function<void()>& call, bool timed = true);
  void ReadPinCounts();

  const PluginLibrary& library_;
  CallGuard guard_;
  HostRecord record_;
  bool placed_ = false;
  int inputs_ = -1, outputs_ = -1;
};

// The pin names and counts the plug-in writes into a fresh record.
struct PinDescription {
  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
};
PinDescription DescribePins(const PluginLibrary& library);

}  // namespace host
