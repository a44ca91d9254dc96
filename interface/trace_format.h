// The call trace the recorder writes and `hostsim replay` reads (the format:
// docs/formats.md, "Call traces").
//
// This header is shared with the recorder, which links no C++ runtime: it
// holds constants and plain tables only.
#pragma once

#include <cstddef>

#include "entry_point_list.h"

namespace host::trace {

// Version 2 added "~" records, {??*COUNT}, "slots=?" and the cap's ring;
// a trace of version 1 is one of version 2 without them.
constexpr int kFormatVersion = 2;
constexpr char kFirstLine[] = "korvelant call trace";

// The head's keys, in the order the recorder writes them.
constexpr char kRecorderKey[] = "recorder";
constexpr char kPartKey[] = "part";
constexpr char kPartVersionKey[] = "part-version";
constexpr char kPartSha256Key[] = "part-sha256";
constexpr char kWindowsKey[] = "windows";
constexpr char kSseKey[] = "sse";
constexpr char kProcessKey[] = "process";
constexpr char kStartedKey[] = "started";
constexpr char kCapKey[] = "cap";  // optional: FIRST RING

constexpr char kEntryMark = '>';
constexpr char kExitMark = '<';
constexpr char kNoteMark = '!';
constexpr char kUnreturnedMark = '~';
constexpr char kUnreturnedNext[] = "next-call";
constexpr char kUnreturnedUnload[] = "unload";
constexpr char kRingNote[] = "ring part=";   // after "! "
constexpr char kLeftOutNote[] = "left-out";  // after "! "
// The most bytes of one region a record holds; the rest is {??*COUNT}.
constexpr unsigned kMaxRegionBytes = 1u << 20;

// What an argument of an entry point is to the host: a plain number, or a
// pointer to one of its buffers, which the recorder captures around the
// call and a replay maps to buffers of its own.
enum class Role : unsigned char {
  kValue,
  kRecord,      // the host's record: its instance slot and window handle
  kPins,        // the pin record
  kInputs,      // input signals
  kOutputs,     // output signals
  kParameters,  // GetParameterStruct's record
  kEnables,     // GetDialogEnableStruct's record
  kFile,        // a file handle in the low 16 bits
};

// The regions' names in a record, one per buffer role, and their sizes
// where fixed.
constexpr char kSlotRegion[] = "slot";
constexpr char kWindowRegion[] = "window";
constexpr char kPinsRegion[] = "pins";
constexpr char kInputsRegion[] = "in";
constexpr char kOutputsRegion[] = "out";
constexpr char kParametersRegion[] = "params";
constexpr char kEnablesRegion[] = "enables";
constexpr char kFileRegion[] = "file";
constexpr char kTextField[] = "text";
constexpr std::size_t kParametersSize = 3;
constexpr std::size_t kEnablesSize = 13;
// A returned string is read up to its NUL, at most this far.
constexpr std::size_t kMaxText = 256;

struct ArgumentRoles {
  const char* name;
  Role roles[kMaxStackSlots];
};

// A slot's role in a trace: the buffers the recorder captures are the
// host's; every number, flags and handles too, is a plain value to it.
constexpr Role RoleOf(entry_point::Slot slot) {
  switch (slot) {
    case entry_point::kRecord:
      return Role::kRecord;
    case entry_point::kPins:
      return Role::kPins;
    case entry_point::kInputs:
      return Role::kInputs;
    case entry_point::kOutputs:
      return Role::kOutputs;
    case entry_point::kParameters:
      return Role::kParameters;
    case entry_point::kEnables:
      return Role::kEnables;
    case entry_point::kFile:
      return Role::kFile;
    default:
      return Role::kValue;
  }
}

constexpr bool NamesABuffer(const EntryPoint& row) {
  for (int k = 0; k < row.stackSlots; ++k)
    if (RoleOf(row.slots[k]) != Role::kValue) return true;
  return false;
}

// The entry points that take a buffer of the host's, in the order of the
// interface's list, with the roles of their slots; an entry point not here
// takes plain values only.
struct ArgumentRoleTable {
  ArgumentRoles rows[CountRows(NamesABuffer)];
};
constexpr ArgumentRoleTable MakeArgumentRoles() {
  ArgumentRoleTable table{};
  std::size_t made = 0;
  for (const EntryPoint& row : kInterface) {
    if (!NamesABuffer(row)) continue;
    table.rows[made].name = row.name;
    for (int k = 0; k < row.stackSlots; ++k) table.rows[made].roles[k] = RoleOf(row.slots[k]);
    ++made;
  }
  return table;
}
constexpr ArgumentRoleTable kArgumentRoleTable = MakeArgumentRoles();
static constexpr const auto& kArgumentRoles = kArgumentRoleTable.rows;

// Entry points whose result is a pointer to a NUL-ended text.
struct TextResultTable {
  const char* names[CountRows(ReturnsText)];
};
constexpr TextResultTable MakeTextResults() {
  TextResultTable table{};
  std::size_t made = 0;
  for (const EntryPoint& row : kInterface)
    if (ReturnsText(row)) table.names[made++] = row.name;
  return table;
}
constexpr TextResultTable kTextResultTable = MakeTextResults();
static constexpr const auto& kTextResults = kTextResultTable.names;

}  // namespace host::trace
