// Every entry point of the host's plug-in interface, once, in the order of
// the host's table, each with its contract as the host holds a plug-in to
// it. The function types, the loader's bindings, the names and slot counts,
// the trace's argument roles, `check`'s probes and the replay's buffers are
// all made from this list; a name read at run time (an export, a trace's
// record) is looked up here with FindEntryPoint, and what is not here is
// not of the interface.
//
// HOST_ENTRY_POINTS(X) calls X(name, returns, presence, instance, writes,
// slots...) once per entry point, in the terms of namespace host::entry_point:
//   returns   what its 32-bit result is
//   presence  whether a plug-in may do without it
//   instance  what it does with the part in the host's record
//   writes    all it may write of the host's memory
//   slots     its stack arguments, one 32-bit slot each, ignored ones too
// Every entry point takes its slots off the stack itself (stdcall).
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {
namespace entry_point {

// What a stack slot is to the host.
enum Slot : unsigned char {
  kNumber,        // a 32-bit number of the host's own, which a plug-in may ignore
  kWord,          // a number as wide as an address, which a plug-in may ignore
  kDescribeFlag,  // 0: the pin record is not to be written
  kRecord,        // the host's record of the instance (instance slot, window)
  kPins,          // the pin record: counts and names
  kInputs,        // the input signals, which the plug-in only reads
  kOutputs,       // the output signals
  kParameters,    // GetParameterStruct's record
  kEnables,       // GetDialogEnableStruct's record
  kFile,          // the project file's handle, in the low 16 bits
};

// What the result is.
enum Returns : unsigned char {
  kNothing,
  kDisplayName,  // the part's name: one static NUL-ended text
  kLabels,       // a part's pin labels: a NUL-ended text per part, kept for its lifetime
  kItsAddress,   // the address given in its first slot
  kOne,          // the number 1
  kZero,         // the number 0
  kDelayFlag,    // the number 1 where the part delays its outputs, else 0
};

enum Presence : unsigned char { kRequired, kOptional };

enum Instance : unsigned char {
  kNoInstance,        // called with or without an instance
  kPlacesInstance,    // makes the instance and writes it into the record's slot
  kUsesInstance,      // called only for an instance, whose instance it takes from the slot
  kRemovesInstance,   // frees the slot's instance and empties the slot; nothing where it is empty
  kDialogOfInstance,  // opens the part's modal dialog and returns when the user closes it
};

// All it may write; each writes at most one of these.
enum Writes : unsigned char {
  kWritesNothing,
  kWritesSlot,        // the record's instance slot, no other byte of the record
  kWritesPinRecord,   // the counts, the names and their NULs; nothing with a describe flag of 0
  kWritesOutputs,     // its outputs' signals, nothing behind them and nothing of the inputs
  kWritesParameters,  // its record's 3 bytes, each to 0
  kWritesEnables,     // its record's 13 bytes, each to 0
  kWritesFile,        // its block, ending with the end marker, at the file's position
};

}  // namespace entry_point

// The most stack slots an entry point takes.
constexpr int kMaxStackSlots = 9;

#define HOST_ENTRY_POINTS(X)                                                                                       \
  X(IsUserDLL32, kNothing, kRequired, kNoInstance, kWritesNothing)                                                 \
  X(GetDLLName, kDisplayName, kRequired, kNoInstance, kWritesNothing)                                              \
  X(GetNumberOfInputsOutputs2, kNothing, kRequired, kNoInstance, kWritesPinRecord, kPins, kNumber, kDescribeFlag,  \
    kNumber)                                                                                                       \
  X(GetParameterStruct, kItsAddress, kRequired, kNoInstance, kWritesParameters, kParameters)                       \
  X(GetDialogEnableStruct, kItsAddress, kRequired, kNoInstance, kWritesEnables, kEnables, kNumber)                 \
  X(SetEnhancedInformation2, kNothing, kOptional, kNoInstance, kWritesNothing, kNumber, kNumber, kNumber, kNumber, \
    kNumber, kNumber, kNumber, kNumber)                                                                            \
  X(CanSimulateDLL2, kOne, kRequired, kNoInstance, kWritesNothing, kNumber, kNumber, kNumber, kNumber, kNumber,    \
    kNumber, kNumber)                                                                                              \
  X(InitUserDLL, kNothing, kRequired, kPlacesInstance, kWritesSlot, kRecord)                                       \
  X(DisposeUserDLL, kNothing, kRequired, kRemovesInstance, kWritesSlot, kRecord)                                   \
  X(InitSimulationDLL2, kNothing, kRequired, kUsesInstance, kWritesOutputs, kNumber, kNumber, kNumber, kRecord,    \
    kInputs, kOutputs)                                                                                             \
  X(SimulateDLL3, kZero, kRequired, kUsesInstance, kWritesOutputs, kNumber, kNumber, kNumber, kNumber, kNumber,    \
    kNumber, kRecord, kInputs, kOutputs)                                                                           \
  X(EndSimulationDLL2, kNothing, kRequired, kNoInstance, kWritesNothing, kWord)                                    \
  X(SetInputChar2, kLabels, kRequired, kUsesInstance, kWritesNothing, kRecord)                                     \
  X(SetOutputChar2, kLabels, kRequired, kUsesInstance, kWritesNothing, kRecord)                                    \
  X(ShowWindowDLL, kNothing, kRequired, kNoInstance, kWritesNothing, kWord)                                        \
  X(HideWindowDLL, kNothing, kRequired, kNoInstance, kWritesNothing, kRecord)                                      \
  X(DialogOK, kNothing, kRequired, kNoInstance, kWritesNothing, kWord)                                             \
  X(WriteToFile, kNothing, kRequired, kUsesInstance, kWritesFile, kFile, kRecord)                                  \
  X(ReadFromFile, kNothing, kRequired, kUsesInstance, kWritesNothing, kFile, kRecord)                              \
  X(CallParameterDialogDLL, kNothing, kRequired, kDialogOfInstance, kWritesPinRecord, kRecord, kPins)              \
  X(HasDelayDLL, kDelayFlag, kRequired, kUsesInstance, kWritesNothing, kRecord)

// One row of the list as data.
struct EntryPoint {
  const char* name;
  entry_point::Returns returns;
  entry_point::Presence presence;
  entry_point::Instance instance;
  entry_point::Writes writes;
  int stackSlots;
  entry_point::Slot slots[kMaxStackSlots];
};

namespace entry_point {
template <Slot... slots>
constexpr int kSlotCount = sizeof...(slots);

#define HOST_ENTRY_POINT_ROW(name, returns, presence, instance, writes, ...) \
  {#name, returns, presence, instance, writes, kSlotCount<__VA_ARGS__>, {__VA_ARGS__}},
constexpr EntryPoint kRows[] = {HOST_ENTRY_POINTS(HOST_ENTRY_POINT_ROW)};
#undef HOST_ENTRY_POINT_ROW
}  // namespace entry_point

// The rows. A reference is no const object, so it takes `static` to stay
// one per file like the array it names (here and for the tables made from
// this one).
static constexpr const EntryPoint (&kInterface)[sizeof entry_point::kRows / sizeof entry_point::kRows[0]] =
    entry_point::kRows;

constexpr bool SameName(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

constexpr std::size_t kEntryPointCount = sizeof kInterface / sizeof kInterface[0];

// The place of `name` in kInterface; kEntryPointCount where it is not there.
constexpr std::size_t IndexOfEntryPoint(const char* name) {
  std::size_t k = 0;
  while (k < kEntryPointCount && !SameName(kInterface[k].name, name)) ++k;
  return k;
}

// The row of the entry point called `name`; null for a name the interface
// does not know.
constexpr const EntryPoint* FindEntryPoint(const char* name) {
  const std::size_t k = IndexOfEntryPoint(name);
  return k < kEntryPointCount ? &kInterface[k] : nullptr;
}

// How many rows `chosen` picks.
constexpr std::size_t CountRows(bool (*chosen)(const EntryPoint&)) {
  std::size_t count = 0;
  for (const EntryPoint& row : kInterface) count += chosen(row);
  return count;
}

namespace entry_point {
template <std::size_t k>
struct Listed {
  static_assert(k < kEntryPointCount, "not an entry point of the interface");
  static constexpr std::size_t kIndex = k;
};
}  // namespace entry_point

// An entry point's name written in the code, checked against the list when
// it compiles: HOST_LISTED(SimulateDLL3) is "SimulateDLL3", and
// HOST_LISTED(SimulateDLL4) does not compile.
#define HOST_LISTED(entryPoint) \
  (::host::kInterface[::host::entry_point::Listed<::host::IndexOfEntryPoint(#entryPoint)>::kIndex].name)

constexpr bool TakesSlot(const EntryPoint& row, entry_point::Slot slot) {
  for (int k = 0; k < row.stackSlots; ++k)
    if (row.slots[k] == slot) return true;
  return false;
}

// The slot through which an entry point writes what its row says it may.
constexpr entry_point::Slot WrittenSlot(entry_point::Writes writes) {
  switch (writes) {
    case entry_point::kWritesSlot:
      return entry_point::kRecord;
    case entry_point::kWritesPinRecord:
      return entry_point::kPins;
    case entry_point::kWritesOutputs:
      return entry_point::kOutputs;
    case entry_point::kWritesParameters:
      return entry_point::kParameters;
    case entry_point::kWritesEnables:
      return entry_point::kEnables;
    case entry_point::kWritesFile:
      return entry_point::kFile;
    default:
      return entry_point::kNumber;
  }
}

// A row that contradicts itself: it writes through a slot it does not
// take, needs an instance but takes no record, gives back an address it
// takes no buffer for, or has a describe flag without a pin record.
constexpr bool RowContradicts(const EntryPoint& row) {
  if (row.writes != entry_point::kWritesNothing && !TakesSlot(row, WrittenSlot(row.writes))) return true;
  if (row.instance != entry_point::kNoInstance && !TakesSlot(row, entry_point::kRecord)) return true;
  if (row.returns == entry_point::kItsAddress &&
      (row.stackSlots == 0 || row.slots[0] == entry_point::kNumber || row.slots[0] == entry_point::kWord))
    return true;
  return TakesSlot(row, entry_point::kDescribeFlag) && !TakesSlot(row, entry_point::kPins);
}

constexpr bool AnyRowContradicts() {
  for (const EntryPoint& row : kInterface)
    if (RowContradicts(row)) return true;
  return false;
}
static_assert(!AnyRowContradicts(), "a row of the entry points contradicts itself");
static_assert(CountRows([](const EntryPoint& row) { return row.instance == entry_point::kPlacesInstance; }) == 1 &&
                  CountRows([](const EntryPoint& row) { return row.instance == entry_point::kRemovesInstance; }) == 1,
              "one entry point places an instance and one removes it");

constexpr bool ReturnsText(const EntryPoint& row) {
  return row.returns == entry_point::kDisplayName || row.returns == entry_point::kLabels;
}
constexpr bool ReturnsNumber(const EntryPoint& row) {
  return row.returns == entry_point::kOne || row.returns == entry_point::kZero ||
         row.returns == entry_point::kDelayFlag;
}
// Called only for an instance: a host calls it with no other record.
constexpr bool NeedsInstance(const EntryPoint& row) {
  return row.instance == entry_point::kUsesInstance || row.instance == entry_point::kRemovesInstance ||
         row.instance == entry_point::kDialogOfInstance;
}

}  // namespace host
