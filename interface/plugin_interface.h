// The plug-in interface as the host sees it: the entry points it calls, the
// records it hands over and the layout of its signal values. Written from
// the host's side, independently of the plug-ins' own sources, so that a
// wrong constant in a plug-in shows up as a failure here. Shared by hostsim
// and the recorder, which links no C++ runtime: constants, types and plain
// tables only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "entry_point_list.h"

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

// The end of every plug-in's block in a project file, with its CR LF.
constexpr char kEndMarker[] = "ENDE_MARKE_DER_USER_DLL\r\n";
constexpr std::size_t kEndMarkerSize = sizeof kEndMarker - 1;

// The interface's calling convention exists on 32-bit x86 only; the readers
// built natively for another machine use the layouts and names alone.
#if defined(__i386__)
#define HOST_STDCALL __attribute__((stdcall))
#else
#define HOST_STDCALL
#endif

namespace entry_point {
// The C type of each kind of slot and result, from which each entry point's
// function type is made: IsUserDLL32Fn, GetDLLNameFn, ...
template <Slot slot>
auto SlotValue() {
  if constexpr (slot == kWord || slot == kDescribeFlag)
    return std::uintptr_t{};
  else if constexpr (slot == kInputs)
    return static_cast<const unsigned char*>(nullptr);
  else if constexpr (slot == kRecord || slot == kPins || slot == kOutputs)
    return static_cast<unsigned char*>(nullptr);
  else if constexpr (slot == kParameters || slot == kEnables)
    return static_cast<void*>(nullptr);
  else
    return std::uint32_t{};  // numbers and the file's handle
}
template <Slot slot>
using SlotType = decltype(SlotValue<slot>());

template <Returns returns>
auto ResultValue() {
  if constexpr (returns == kNothing)
    return;
  else if constexpr (returns == kDisplayName || returns == kLabels)
    return static_cast<const char*>(nullptr);
  else if constexpr (returns == kItsAddress)
    return static_cast<void*>(nullptr);
  else
    return std::int32_t{};
}
template <Returns returns>
using ResultType = decltype(ResultValue<returns>());

template <Returns returns>
struct Function {
  template <Slot... slots>
  using Of = ResultType<returns>(HOST_STDCALL*)(SlotType<slots>...);
};

#define HOST_FUNCTION_TYPE(name, returns, presence, instance, writes, ...) \
  using name##Fn = Function<returns>::Of<__VA_ARGS__>;
HOST_ENTRY_POINTS(HOST_FUNCTION_TYPE)
#undef HOST_FUNCTION_TYPE
}  // namespace entry_point

#define HOST_FUNCTION_TYPE_NAME(name, ...) using entry_point::name##Fn;
HOST_ENTRY_POINTS(HOST_FUNCTION_TYPE_NAME)
#undef HOST_FUNCTION_TYPE_NAME

// Every entry point with the number of 32-bit stack slots it takes: the
// names alone, for the recorder, which has no room for the whole rows.
struct EntryPointName {
  const char* name;
  int stackSlots;
  bool optional;  // the shift register does without it
};
namespace entry_point {
#define HOST_ENTRY_POINT_NAME(name, returns, presence, instance, writes, ...) \
  {#name, kSlotCount<__VA_ARGS__>, presence == kOptional},
constexpr EntryPointName kNames[] = {HOST_ENTRY_POINTS(HOST_ENTRY_POINT_NAME)};
#undef HOST_ENTRY_POINT_NAME
}  // namespace entry_point
static constexpr const EntryPointName (&kEntryPoints)[sizeof entry_point::kNames / sizeof entry_point::kNames[0]] =
    entry_point::kNames;

}  // namespace host
