// The entry points that the test plug-ins keep as any part does and that
// none of them varies: one input, one output, no parameters, no window.
// Included once by each test plug-in's source, whose .def exports them.
#pragma once

#include <cstdint>
#include <cstring>

#define ENTRY extern "C" __attribute__((stdcall))

ENTRY void IsUserDLL32() {}

ENTRY void GetNumberOfInputsOutputs2(unsigned char* pins, std::uint32_t, std::uintptr_t fill, std::uint32_t) {
  if (!fill) return;
  pins[0] = 1;
  pins[1] = 1;
  std::strcpy(reinterpret_cast<char*>(pins + 2), "Eingang");
  std::strcpy(reinterpret_cast<char*>(pins + 2052), "Ausgang");
}

ENTRY void* GetParameterStruct(void* parameters) { return std::memset(parameters, 0, 3); }
ENTRY void* GetDialogEnableStruct(void* enables, std::uint32_t) { return std::memset(enables, 0, 13); }
ENTRY void SetEnhancedInformation2(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                   std::uint32_t, std::uint32_t, std::uint32_t) {}
ENTRY std::int32_t CanSimulateDLL2(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                   std::uint32_t, std::uint32_t) {
  return 1;
}

ENTRY void EndSimulationDLL2(std::uintptr_t) {}
ENTRY void ShowWindowDLL(std::uintptr_t) {}
ENTRY void HideWindowDLL(unsigned char*) {}
ENTRY void DialogOK(std::uintptr_t) {}
