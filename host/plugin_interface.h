// The plug-in interface as the host sees it: the entry points it calls, the
// records it hands over and the layout of its signal values. Written from
// the host's side, independently of the plug-ins' own sources, so that a
// wrong constant in a plug-in shows up as a failure here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

// Per placed component: the host's record, with the plug-in's instance
// pointer at 5571 and the host's main window at 5579 (both unaligned).
constexpr std::size_t kHostRecordSize = 8192;
constexpr std::size_t kInstanceSlotAt = 5571;
constexpr std::size_t kHostWindowAt = 5579;

// Pin description: counts in bytes 0 and 1, then 50 input name slots of 41
// bytes from byte 2, then the output name slots from byte 2052.
constexpr std::size_t kPinInfoSize = 4102;
constexpr std::size_t kNameSlot = 41;
constexpr std::size_t kInputNameAt = 2;
constexpr std::size_t kOutputNameAt = 2052;
constexpr int kMaxPins = 50;

// One signal value: an x87 double-extended number in 10 bytes, no gaps.
constexpr std::size_t kSignalSize = 10;

constexpr char kEndMarker[] = "ENDE_MARKE_DER_USER_DLL\r\n";

#define HOST_STDCALL __attribute__((stdcall))
using IsUserDLL32Fn = void(HOST_STDCALL*)();
using GetDLLNameFn = const char*(HOST_STDCALL*)();
using GetNumberOfInputsOutputs2Fn = void(HOST_STDCALL*)(unsigned char*, std::uint32_t, std::uintptr_t, std::uint32_t);
using GetParameterStructFn = void*(HOST_STDCALL*)(void*);
using GetDialogEnableStructFn = void*(HOST_STDCALL*)(void*, std::uint32_t);
using SetEnhancedInformation2Fn = void(HOST_STDCALL*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                                      std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t);
using CanSimulateDLL2Fn = std::int32_t(HOST_STDCALL*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                                     std::uint32_t, std::uint32_t, std::uint32_t);
using RecordFn = void(HOST_STDCALL*)(unsigned char*);
using InitSimulationDLL2Fn = void(HOST_STDCALL*)(std::uint32_t, std::uint32_t, std::uint32_t, unsigned char*,
                                                 const unsigned char*, unsigned char*);
using SimulateDLL3Fn = std::int32_t(HOST_STDCALL*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                                  std::uint32_t, std::uint32_t, unsigned char*, const unsigned char*,
                                                  unsigned char*);
using ValueFn = void(HOST_STDCALL*)(std::uintptr_t);
using LabelsFn = const char*(HOST_STDCALL*)(unsigned char*);
using FileFn = void(HOST_STDCALL*)(std::uint32_t, unsigned char*);
using CallParameterDialogDLLFn = void(HOST_STDCALL*)(unsigned char*, unsigned char*);
using HasDelayDLLFn = std::int32_t(HOST_STDCALL*)(unsigned char*);

// Every entry point with the number of 32-bit stack slots it takes.
struct EntryPointName {
  const char* name;
  int stackSlots;
  bool optional;  // the shift register does without it
};
constexpr EntryPointName kEntryPoints[] = {
    {"IsUserDLL32", 0, false},
    {"GetDLLName", 0, false},
    {"GetNumberOfInputsOutputs2", 4, false},
    {"GetParameterStruct", 1, false},
    {"GetDialogEnableStruct", 2, false},
    {"SetEnhancedInformation2", 8, true},
    {"CanSimulateDLL2", 7, false},
    {"InitUserDLL", 1, false},
    {"DisposeUserDLL", 1, false},
    {"InitSimulationDLL2", 6, false},
    {"SimulateDLL3", 9, false},
    {"EndSimulationDLL2", 1, false},
    {"SetInputChar2", 1, false},
    {"SetOutputChar2", 1, false},
    {"ShowWindowDLL", 1, false},
    {"HideWindowDLL", 1, false},
    {"DialogOK", 1, false},
    {"WriteToFile", 2, false},
    {"ReadFromFile", 2, false},
    {"CallParameterDialogDLL", 2, false},
    {"HasDelayDLL", 1, false},
};

}  // namespace host
