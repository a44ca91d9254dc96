// A plug-in with the faults `hostsim check` must find, one of each kind:
// an entry point exported decorated, one missing, one that leaves its
// arguments on the stack, one that crashes; a display name in a new place
// on each call; a parameter byte left unset; a pin name written beyond its
// NUL; outputs that are not levels and one too many; record bytes that are
// the host's, written when placed and when evaluated; a disposal that
// crashes on an empty slot; a reader that takes a byte too many; settings,
// labels and evaluation state shared by all parts.
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "../end_marker.h"
#include "../instance_slot.h"

namespace {

struct Part {
  int state = 0;
};

constexpr auto& kMarker = test::kEndMarker;
int sharedSetting = 0;        // should be per part
char sharedLabels[] = "ABC";  // should be per part

Part* PartIn(unsigned char* record) { return test::PartInSlot<Part>(record); }

void PutName(unsigned char* slot, const char* name) {
  std::memset(slot, ' ', 41);  // blanks behind the NUL belong to the host
  std::strcpy(reinterpret_cast<char*>(slot), name);
}

void PutVolts(unsigned char* value, double volts) {
  const long double wide = volts;
  std::memcpy(value, &wide, 10);
}

void ReadDouble(const unsigned char* value, double* volts) {
  long double wide;
  std::memcpy(&wide, value, 10);
  *volts = double(wide);
}

using test::FileOf;

void WriteBytes(std::uint32_t handle, const char* bytes, DWORD count) {
  DWORD written;
  WriteFile(FileOf(handle), bytes, count, &written, nullptr);
}

bool ReadByte(std::uint32_t handle, char* byte) {
  DWORD got = 0;
  return ReadFile(FileOf(handle), byte, 1, &got, nullptr) && got == 1;
}

}  // namespace

#define ENTRY extern "C" __attribute__((stdcall))

ENTRY void IsUserDLL32() {}
// The name copied into one of two buffers in turn.
ENTRY const char* GetDLLName() {
  static char names[2][8];
  static unsigned calls = 0;
  return std::strcpy(names[calls++ % 2], "Kaputt");
}

ENTRY void GetNumberOfInputsOutputs2(unsigned char* pins, std::uint32_t, std::uintptr_t fill, std::uint32_t) {
  if (!fill) return;
  pins[0] = 3;
  pins[1] = 2;
  for (int i = 0; i < 3; ++i) std::strcpy(reinterpret_cast<char*>(pins + 2 + 41 * i), "Eingang");
  std::strcpy(reinterpret_cast<char*>(pins + 2052), "Summe");
  PutName(pins + 2093, "\xDC"
                       "bertrag");
}

ENTRY void* GetParameterStruct(void* parameters) { return std::memset(parameters, 0, 2); }  // not byte 2
ENTRY void* GetDialogEnableStruct(void* enables, std::uint32_t) { return std::memset(enables, 0, 13); }

// Caller-cleans: the host's stack is 28 bytes off after each call.
extern "C" __attribute__((cdecl)) std::int32_t CanSimulateDLL2(std::uint32_t, std::uint32_t, std::uint32_t,
                                                               std::uint32_t, std::uint32_t, std::uint32_t,
                                                               std::uint32_t) {
  return 1;
}

ENTRY void InitUserDLL(unsigned char* record) {
  Part* part = new Part;
  test::PutInSlot(record, part);
  record[0] = 1;  // the host's byte
}

// Looks into the part before asking whether there is one.
ENTRY void DisposeUserDLL(unsigned char* record) {
  Part* part = PartIn(record);
  if (part->state >= 0) delete part;
}

// Output 0 at 4.9 V; output 1 from a count of evaluations that all parts
// share; and a third output the part does not have.
ENTRY std::int32_t SimulateDLL3(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                std::uint32_t, unsigned char* record, const unsigned char* in, unsigned char* out) {
  static int sharedEvaluations = 0;
  double a;
  ReadDouble(in, &a);
  PartIn(record)->state += a > 2.5;
  record[1] = 1;  // the host's byte
  PutVolts(out, 4.9);
  PutVolts(out + 10, ++sharedEvaluations % 2 ? 0.0 : 5.0);
  PutVolts(out + 20, 5.0);
  return 0;
}

ENTRY void InitSimulationDLL2(std::uint32_t, std::uint32_t, std::uint32_t, unsigned char* record,
                              const unsigned char* in, unsigned char* out) {
  SimulateDLL3(0, 0, 0, 0, 0, 0, record, in, out);
}

ENTRY void EndSimulationDLL2(std::uintptr_t) {}
ENTRY const char* SetInputChar2(unsigned char*) { return sharedLabels; }
ENTRY const char* SetOutputChar2(unsigned char*) { return sharedLabels; }
ENTRY void ShowWindowDLL(std::uintptr_t) {}

// Writes into the never-mapped first page of the address space.
ENTRY void HideWindowDLL(unsigned char*) {
  volatile std::uintptr_t nowhere = 16;
  *reinterpret_cast<volatile int*>(nowhere) = 1;
}

ENTRY void WriteToFile(std::uint32_t handle, unsigned char*) {
  char text[40];
  text[0] = char('0' + sharedSetting);
  std::strcpy(text + 1, "\r\n");
  std::strcat(text, kMarker);
  WriteBytes(handle, text, std::strlen(text));
}

// Reads on one byte past the marker.
ENTRY void ReadFromFile(std::uint32_t handle, unsigned char*) {
  char byte, first = 0;
  std::size_t matched = 0;
  for (bool any = false; matched < sizeof kMarker - 1 && ReadByte(handle, &byte); any = true) {
    if (!any) first = byte;
    if (byte == kMarker[matched]) ++matched;
  }
  if (matched == sizeof kMarker - 1) ReadByte(handle, &byte);
  if (first >= '0' && first <= '9') sharedSetting = first - '0';
}

ENTRY void CallParameterDialogDLL(unsigned char*, unsigned char*) {}

// Exported only as "HasDelayDLL@4" (see the .def file).
ENTRY std::int32_t HasDelayDLL(unsigned char*) { return sharedSetting; }

// DialogOK is not there at all.
