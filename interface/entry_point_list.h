// Every entry point of the host's plug-in interface, once, in the order of
// the host's table: its name, its result, whether a plug-in may do without
// it (the shift register has no SetEnhancedInformation2), and its stack
// arguments, one 32-bit slot each. The function types, the loader's
// bindings, the table of names and slot counts, and through them the
// probes of `check` and of the tests are all made from this list.
//
// HOST_ENTRY_POINTS(X) calls X(name, result, optional, argument types...)
// once per entry point.
#pragma once

#include <cstdint>

#define HOST_ENTRY_POINTS(X)                                                                                         \
  X(IsUserDLL32, void, false)                                                                                        \
  X(GetDLLName, const char*, false)                                                                                  \
  X(GetNumberOfInputsOutputs2, void, false, unsigned char*, std::uint32_t, std::uintptr_t, std::uint32_t)            \
  X(GetParameterStruct, void*, false, void*)                                                                         \
  X(GetDialogEnableStruct, void*, false, void*, std::uint32_t)                                                       \
  X(SetEnhancedInformation2, void, true, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,  \
    std::uint32_t, std::uint32_t, std::uint32_t)                                                                     \
  X(CanSimulateDLL2, std::int32_t, false, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, \
    std::uint32_t, std::uint32_t)                                                                                    \
  X(InitUserDLL, void, false, unsigned char*)                                                                        \
  X(DisposeUserDLL, void, false, unsigned char*)                                                                     \
  X(InitSimulationDLL2, void, false, std::uint32_t, std::uint32_t, std::uint32_t, unsigned char*,                    \
    const unsigned char*, unsigned char*)                                                                            \
  X(SimulateDLL3, std::int32_t, false, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,    \
    std::uint32_t, unsigned char*, const unsigned char*, unsigned char*)                                             \
  X(EndSimulationDLL2, void, false, std::uintptr_t)                                                                  \
  X(SetInputChar2, const char*, false, unsigned char*)                                                               \
  X(SetOutputChar2, const char*, false, unsigned char*)                                                              \
  X(ShowWindowDLL, void, false, std::uintptr_t)                                                                      \
  X(HideWindowDLL, void, false, unsigned char*)                                                                      \
  X(DialogOK, void, false, std::uintptr_t)                                                                           \
  X(WriteToFile, void, false, std::uint32_t, unsigned char*)                                                         \
  X(ReadFromFile, void, false, std::uint32_t, unsigned char*)                                                        \
  X(CallParameterDialogDLL, void, false, unsigned char*, unsigned char*)                                             \
  X(HasDelayDLL, std::int32_t, false, unsigned char*)
