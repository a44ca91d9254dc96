// The call trace the recorder writes and `hostsim replay` reads: text, one
// line per record, CR LF, so that Notepad on any Windows shows it and a
// support engineer can read it with grep.
//
// The head, one "key value" line each, then the records:
//   > N MS NAME depth=D align=A cw=XXXX [mxcsr=XXXX] slots=XXXXXXXX,... REGION=BYTES...
//   < N MS NAME depth=D eax=XXXXXXXX edx=XXXXXXXX pop=BYTES cw=XXXX [mxcsr=XXXX] REGION=BYTES... [text="..."]
//   ! a note (the part loaded or freed, the cap reached, ...)
// N counts the calls from 1, MS the milliseconds since the trace began,
// A is ESP mod 16 at the entry point's first instruction, pop the bytes
// the entry point took off the stack beyond its return address.
//
// BYTES are hex pairs, a run of four or more equal bytes written {XX*COUNT};
// "-" where nothing could be read. A file region is the handle's position
// ("?" where it has none), on exit with +HEX for the bytes between the two
// positions read back, or +#COUNT where the handle did not let the
// recorder read them.
//
// This header is shared with the recorder, which links no C++ runtime: it
// holds constants and plain tables only.
#pragma once

#include <cstddef>

namespace host::trace {

constexpr int kFormatVersion = 1;
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

constexpr char kEntryMark = '>';
constexpr char kExitMark = '<';
constexpr char kNoteMark = '!';

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

constexpr int kMaxSlots = 9;
struct ArgumentRoles {
  const char* name;
  Role roles[kMaxSlots];
};

// By entry point, in the order of entry_point_list.h; the slots not named
// are plain values.
constexpr Role V = Role::kValue;
constexpr ArgumentRoles kArgumentRoles[] = {
    {"GetNumberOfInputsOutputs2", {Role::kPins}},
    {"GetParameterStruct", {Role::kParameters}},
    {"GetDialogEnableStruct", {Role::kEnables}},
    {"InitUserDLL", {Role::kRecord}},
    {"DisposeUserDLL", {Role::kRecord}},
    {"InitSimulationDLL2", {V, V, V, Role::kRecord, Role::kInputs, Role::kOutputs}},
    {"SimulateDLL3", {V, V, V, V, V, V, Role::kRecord, Role::kInputs, Role::kOutputs}},
    {"SetInputChar2", {Role::kRecord}},
    {"SetOutputChar2", {Role::kRecord}},
    {"HideWindowDLL", {Role::kRecord}},
    {"WriteToFile", {Role::kFile, Role::kRecord}},
    {"ReadFromFile", {Role::kFile, Role::kRecord}},
    {"CallParameterDialogDLL", {Role::kRecord, Role::kPins}},
    {"HasDelayDLL", {Role::kRecord}},
};

// Entry points whose result is a pointer to a NUL-ended text.
constexpr const char* kTextResults[] = {"GetDLLName", "SetInputChar2", "SetOutputChar2"};

}  // namespace host::trace
