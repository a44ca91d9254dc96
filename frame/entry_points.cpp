// The host's plug-in interface: one function per entry point, in the order
// of the host's table. This file is compiled once per deliverable, which
// names its component and its particulars in "plugin.h"; its export list,
// written from frame/exports.def.in, decides which of them the host sees.
//
// Every entry point uses the standard Windows calling convention with one
// 32-bit stack slot per argument, ignored slots included. The host may call
// with the stack aligned to 4 bytes only; the build assumes no more.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "boundary.h"
#include "component.h"
#include "evaluation.h"
#include "host_record.h"
#include "library_state.h"
#include "parameter_dialog.h"
#include "persistence.h"
#include "pin_info.h"
#include "plugin.h"
#include "project_file.h"

using Component = Plugin::Component;
static_assert(frame::MeetsTheContract<Plugin>());

namespace {
Component* Instance(const void* hostRecord) { return frame::InstanceIn<Component>(hostRecord); }

// What a host that asks an empty slot for its labels gets: those of a new
// part, which stay valid for the library's lifetime.
const Component kNewPart;
}  // namespace

#define ENTRY_POINT extern "C" __stdcall

ENTRY_POINT void IsUserDLL32() {}

ENTRY_POINT const char* GetDLLName() { return Component::kDisplayName; }

ENTRY_POINT void GetNumberOfInputsOutputs2(unsigned char* pinInfo, std::uint32_t, std::uintptr_t fill, std::uint32_t) {
  if (fill) frame::FillPinInfo<Component>(pinInfo);
}

ENTRY_POINT void* GetParameterStruct(void* parameters) {
  std::memset(parameters, 0, frame::kParameterStructSize);
  return parameters;
}

ENTRY_POINT void* GetDialogEnableStruct(void* enables, std::uint32_t) {
  std::memset(enables, 0, frame::kDialogEnableStructSize);
  return enables;
}

ENTRY_POINT void SetEnhancedInformation2(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                         std::uint32_t, std::uint32_t, std::uint32_t) {}

ENTRY_POINT std::int32_t CanSimulateDLL2(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                         std::uint32_t, std::uint32_t) {
  return 1;
}

ENTRY_POINT void InitUserDLL(void* hostRecord) {
  frame::AtBoundary([&] {
    frame::SetInstanceSlot(hostRecord, nullptr);  // stays empty if construction fails
    frame::SetInstanceSlot(hostRecord, new Component());
    if (Plugin::kKeepsHostWindow) frame::KeepMainWindow(frame::HostWindowIn(hostRecord));
  });
}

// The slot is emptied after the instance is gone, so a second dispose of the
// same record finds nothing to free.
ENTRY_POINT void DisposeUserDLL(void* hostRecord) {
  Component* instance = Instance(hostRecord);
  if (!instance) return;
  delete instance;
  frame::SetInstanceSlot(hostRecord, nullptr);
}

ENTRY_POINT void InitSimulationDLL2(std::uint32_t, std::uint32_t, std::uint32_t, void* hostRecord,
                                    const unsigned char* inputs, unsigned char* outputs) {
  if (Component* instance = Instance(hostRecord)) frame::EvaluateInitialCycle(*instance, inputs, outputs);
}

ENTRY_POINT std::int32_t SimulateDLL3(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                      std::uint32_t, void* hostRecord, const unsigned char* inputs,
                                      unsigned char* outputs) {
  if (Component* instance = Instance(hostRecord)) frame::EvaluateCycle(*instance, inputs, outputs);
  return 0;
}

ENTRY_POINT void EndSimulationDLL2(std::uintptr_t) {}

ENTRY_POINT const char* SetInputChar2(void* hostRecord) {
  Component* instance = Instance(hostRecord);
  return (instance ? instance : &kNewPart)->InputLabels();
}

ENTRY_POINT const char* SetOutputChar2(void* hostRecord) {
  Component* instance = Instance(hostRecord);
  return (instance ? instance : &kNewPart)->OutputLabels();
}

ENTRY_POINT void ShowWindowDLL(std::uintptr_t) {}

ENTRY_POINT void HideWindowDLL(void*) {}

ENTRY_POINT void DialogOK(std::uintptr_t) {}

// An empty slot still gets its block, the bare marker, so that the host's
// file keeps one block per part and the next load stays in step.
ENTRY_POINT void WriteToFile(std::uint32_t file, void* hostRecord) {
  frame::AtBoundary([&] {
    const Component* instance = Instance(hostRecord);
    frame::WriteProjectBlock(frame::ProjectFileHandle(file),
                             instance ? frame::ComposeBlock<Plugin>(*instance) : std::string(frame::kEndMarker));
  });
}

// A block that ends before its marker is complete is not applied: the
// instance keeps its settings. An empty slot's block is read and dropped,
// so the host reads on from its own next line.
ENTRY_POINT void ReadFromFile(std::uint32_t file, void* hostRecord) {
  frame::AtBoundary([&] {
    HANDLE handle = frame::ProjectFileHandle(file);
    auto block = frame::GatherBlock([handle](char& byte) { return frame::ReadProjectByte(handle, byte); });
    Component* instance = Instance(hostRecord);
    if (block && instance) frame::ApplyBlock<Plugin>(*instance, *block);
  });
}

ENTRY_POINT void CallParameterDialogDLL(void* hostRecord, unsigned char* pinInfo) {
  frame::AtBoundary([&] {
    if (Component* instance = Instance(hostRecord)) frame::RunParameterDialog<Plugin>(*instance);
  });
  if (Plugin::kRefillsPinInfoAfterDialog) frame::FillPinInfo<Component>(pinInfo);
}

ENTRY_POINT std::int32_t HasDelayDLL(void* hostRecord) {
  Component* instance = Instance(hostRecord);
  return instance ? frame::HasDelay<Plugin>(*instance) : 0;
}

namespace __gnu_cxx {
void __freeres() noexcept;  // the C++ runtime's own memory, given back
}

// A host that unloads the library (FreeLibrary, reserved is null) gets back
// what the statically linked C++ runtime took at load; at the end of the
// process nothing need be freed.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) frame::KeepModule(module);
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
  return TRUE;
}
