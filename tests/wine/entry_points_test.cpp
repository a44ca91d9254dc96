// What every plug-in owes the host, checked on each DLL through LoadLibrary:
// the export table, the calling convention, the records it may write and
// the independence of its instances.
#include <windows.h>

#include <algorithm>
#include <set>

#include "fault_guard.h"
#include "plugin_facts.h"
#include "plugin_fixture.h"
#include "stdcall_probe.h"

namespace {

using test::kPlugins;
using test::PluginFacts;

// A table, laid out to be read.
// clang-format off
const char* const kEntryPointNames[] = {
    "IsUserDLL32",           "GetDLLName",      "GetNumberOfInputsOutputs2", "GetParameterStruct",
    "GetDialogEnableStruct", "CanSimulateDLL2", "InitUserDLL",               "DisposeUserDLL",
    "InitSimulationDLL2",    "SimulateDLL3",    "EndSimulationDLL2",         "SetInputChar2",
    "SetOutputChar2",        "ShowWindowDLL",   "HideWindowDLL",             "DialogOK",
    "WriteToFile",           "ReadFromFile",    "CallParameterDialogDLL",    "HasDelayDLL"};
// clang-format on

// The names in the DLL's export directory, read from the loaded image.
std::set<std::string> ExportedNames(HMODULE module) {
  auto* base = reinterpret_cast<const unsigned char*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::set<std::string> result;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) result.insert(reinterpret_cast<const char*>(base + names[i]));
  EXPECT_EQ(exports->NumberOfNames, exports->NumberOfFunctions) << "every export has a name";
  return result;
}

class EveryPlugin : public test::PluginTest, public ::testing::WithParamInterface<PluginFacts> {
 protected:
  void SetUp() override { Load(GetParam().dll); }
};

TEST_P(EveryPlugin, ExportsExactlyTheHostsNamesUndecorated) {
  std::set<std::string> expected(std::begin(kEntryPointNames), std::end(kEntryPointNames));
  if (GetParam().hasEnhancedInformation) expected.insert("SetEnhancedInformation2");
  EXPECT_EQ(expected, ExportedNames(library.Module()));
}

TEST_P(EveryPlugin, DescribesItself) {
  EXPECT_STREQ(GetParam().displayName, library.GetDLLName());
  EXPECT_EQ(library.GetDLLName(), library.GetDLLName()) << "a static string";
  EXPECT_EQ(1, library.CanSimulateDLL2(1, 2, 3, 4, 5, 6, 7));
  library.IsUserDLL32();
  library.EndSimulationDLL2(0x1234);
  library.ShowWindowDLL(0);
  library.DialogOK(0);
}

TEST_P(EveryPlugin, HostRecordsAreTouchedOnlyWhereAllowed) {
  unsigned char parameters[8];
  std::memset(parameters, 0xAB, sizeof parameters);
  EXPECT_EQ(parameters, library.GetParameterStruct(parameters));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(i < 3 ? 0 : 0xAB, parameters[i]) << i;

  unsigned char enables[16];
  std::memset(enables, 0xAB, sizeof enables);
  EXPECT_EQ(enables, library.GetDialogEnableStruct(enables, 99));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(i < 13 ? 0 : 0xAB, enables[i]) << i;

  std::vector<unsigned char> pins(host::kPinInfoSize + 16, 0xFF);
  library.GetNumberOfInputsOutputs2(pins.data(), 1, 0, 1);
  EXPECT_TRUE(std::all_of(pins.begin(), pins.end(), [](unsigned char b) { return b == 0xFF; }))
      << "a zero third argument writes nothing";
  library.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0);
  EXPECT_EQ(GetParam().inputs, pins[0]);
  EXPECT_EQ(GetParam().outputs, pins[1]);
  // Every written byte belongs to a name of an existing pin or its NUL.
  std::vector<bool> mayWrite(pins.size(), false);
  mayWrite[0] = mayWrite[1] = true;
  auto allowName = [&](std::size_t at) {
    const std::size_t length = strnlen(reinterpret_cast<const char*>(&pins[at]), host::kNameSlot);
    ASSERT_LT(length, host::kNameSlot) << "name at " << at << " has its NUL inside the slot";
    for (std::size_t k = 0; k <= length; ++k) mayWrite[at + k] = true;
  };
  for (int i = 0; i < GetParam().inputs; ++i) allowName(host::kInputNameAt + i * host::kNameSlot);
  for (int j = 0; j < GetParam().outputs; ++j) allowName(host::kOutputNameAt + j * host::kNameSlot);
  for (std::size_t b = 0; b < pins.size(); ++b)
    if (!mayWrite[b]) {
      ASSERT_EQ(0xFF, pins[b]) << "byte " << b;
    }
}

TEST_P(EveryPlugin, DisposeEmptiesTheSlotSoASecondDisposeDoesNothing) {
  std::vector<unsigned char> record(host::kHostRecordSize, 0);
  library.InitUserDLL(record.data());
  std::uint32_t slot;
  std::memcpy(&slot, record.data() + host::kInstanceSlotAt, 4);
  EXPECT_NE(0u, slot);
  library.DisposeUserDLL(record.data());
  std::memcpy(&slot, record.data() + host::kInstanceSlotAt, 4);
  EXPECT_EQ(0u, slot);
  library.DisposeUserDLL(record.data());
  std::memcpy(&slot, record.data() + host::kInstanceSlotAt, 4);
  EXPECT_EQ(0u, slot);
  // Only the slot is the plug-in's: the rest of the record stays the host's.
  record[host::kInstanceSlotAt] = record[host::kInstanceSlotAt + 1] = 0;
  EXPECT_TRUE(std::all_of(record.begin(), record.end(), [](unsigned char b) { return b == 0; }));
}

TEST_P(EveryPlugin, LabelsAreThePartsOwn) {
  Instance first(library), second(library);
  EXPECT_NE(first.InstanceSlot(), second.InstanceSlot());
  const char* in = library.SetInputChar2(first.Record());
  EXPECT_EQ(in, library.SetInputChar2(first.Record()));
  EXPECT_NE(in, library.SetInputChar2(second.Record()));
  EXPECT_EQ(library.SetOutputChar2(first.Record()), library.SetOutputChar2(first.Record()));
  EXPECT_NE(library.SetOutputChar2(first.Record()), library.SetOutputChar2(second.Record()));
  EXPECT_STREQ(in, library.SetInputChar2(second.Record()));
}

// A host that reads one character per pin from an empty slot's labels gets
// a new part's, and the same pointer every time.
TEST_P(EveryPlugin, AnEmptySlotGivesANewPartsLabels) {
  std::vector<unsigned char> empty(host::kHostRecordSize, 0);
  Instance instance(library);
  const char* in = library.SetInputChar2(empty.data());
  const char* out = library.SetOutputChar2(empty.data());
  ASSERT_NE(nullptr, in);
  ASSERT_NE(nullptr, out);
  EXPECT_STREQ(library.SetInputChar2(instance.Record()), in);
  EXPECT_STREQ(library.SetOutputChar2(instance.Record()), out);
  EXPECT_EQ(in, library.SetInputChar2(empty.data()));
  EXPECT_EQ(out, library.SetOutputChar2(empty.data()));
  EXPECT_NE(in, library.SetInputChar2(instance.Record())) << "a copy of the library's own, not the part's";
}

// Outputs are exactly 5.0 or 0.0 in the first OutputCount elements; the
// elements behind them and the input array are left alone.
TEST_P(EveryPlugin, WritesOnlyItsOutputsAndOnlyLevels) {
  Instance instance(library);
  for (int code = 0; code < 16; ++code) {
    test::SignalArray in, out;
    for (int i = 0; i < GetParam().inputs; ++i) in.Set(i, code >> (i % 4) & 1 ? test::kHigh : test::kLow);
    const test::SignalArray inBefore = in;
    if (code == 0)
      instance.Initial(in, out);
    else
      EXPECT_EQ(0, instance.Simulate(in, out));
    EXPECT_EQ(0, std::memcmp(inBefore.bytes, in.bytes, sizeof in.bytes));
    for (int j = 0; j < GetParam().outputs; ++j) EXPECT_TRUE(out.Is(j, test::kHigh) || out.Is(j, test::kLow)) << j;
    for (std::size_t b = 10 * GetParam().outputs; b < sizeof out.bytes; ++b) ASSERT_EQ(0xEE, out.bytes[b]) << b;
  }
}

// A host built by another compiler may run with x87 exceptions unmasked
// (control word 0x1332): no input encoding may raise one, and the control
// word comes back as it was. A processor that traps on an unmasked exception
// does so inside the call, which the host's fault guard turns into a
// finding; where nothing traps (an emulated x87), the status word's
// exception flags still show it. The control word is compared with what the
// processor kept of 0x1332: a real x87 reads its reserved bit 6 back as 1.
TEST_P(EveryPlugin, OddEncodingsRaiseNoFloatingPointException) {
  const test::Signal odd[] = {
      test::MakeSignal(0xC000000000000000ull, 0x7FFF),  // quiet NaN
      test::MakeSignal(0x8000000000000001ull, 0x7FFF),  // signalling NaN
      test::MakeSignal(0x8000000000000000ull, 0x7FFF),  // +infinity
      test::MakeSignal(0x8000000000000000ull, 0xFFFF),  // -infinity
      test::MakeSignal(0xFFFFFFFFFFFFFFFFull, 0x73E6),  // 1e4000
      test::MakeSignal(0xFFFFFFFFFFFFFFFFull, 0xF3E6),  // -1e4000
      test::MakeSignal(0x0000000000000001ull, 0x0000),  // denormal
      test::MakeSignal(0x8000000000000000ull, 0x0000),  // pseudo-denormal
      test::MakeSignal(0x4000000000000000ull, 0x4001),  // unnormal
      test::MakeSignal(0x4000000000000000ull, 0x7FFF),  // pseudo-NaN
      test::MakeSignal(0x0000000000000000ull, 0x7FFF),  // pseudo-infinity
      test::MakeSignal(0xA000000000000001ull, 0x4000),  // inexact: rounds to 2.5
  };
  Instance instance(library);
  host::FaultGuard guard("entry_points_test: ", 30);
  unsigned short saved, unmasked = 0x1332, loaded, after, status;
  asm volatile("fnstcw %0" : "=m"(saved));
  for (std::size_t v = 0; v < sizeof odd / sizeof odd[0]; ++v) {
    test::SignalArray in, out;
    for (int i = 0; i < GetParam().inputs; ++i) in.Set(i, odd[v]);
    auto evaluate = [&] {
      instance.Initial(in, out);
      instance.Simulate(in, out);
    };
    asm volatile("fnclex; fldcw %1; fnstcw %0" : "=m"(loaded) : "m"(unmasked));
    const host::Fault fault = guard.Run("InitSimulationDLL2 and SimulateDLL3", evaluate);
    asm volatile("fnstsw %0; fnstcw %1; fnclex; fldcw %2" : "=m"(status), "=m"(after) : "m"(saved));
    ASSERT_FALSE(fault.happened) << "encoding " << v << " trapped in the plug-in: " << host::DescribeFault(fault);
    EXPECT_EQ(0, status & 0x3F) << "encoding " << v << " raised exception flags 0x" << std::hex << (status & 0x3F);
    EXPECT_EQ(loaded, after) << "encoding " << v << " changed the control word";
    for (int j = 0; j < GetParam().outputs; ++j) EXPECT_TRUE(out.Is(j, test::kHigh) || out.Is(j, test::kLow));
  }
}

// The floating-point unit is the host's: an evaluation neither loads nor
// stores through it. With all eight registers of its stack holding the
// host's values, a single load would overflow the stack (invalid-operation
// and stack-fault flags) and a store with pop would lose a value. Both
// simulation entry points, on levels and on the odd encodings, called
// with the stack aligned to 4 bytes only. The SSE control register, set to
// an unusual value, stays as it was too.
TEST_P(EveryPlugin, EvaluationsLeaveTheFloatingPointUnitAlone) {
  const test::Signal values[] = {
      test::kHigh,
      test::kLow,
      test::MakeSignal(0xC000000000000000ull, 0x7FFF),  // quiet NaN
      test::MakeSignal(0x8000000000000001ull, 0x7FFF),  // signalling NaN
      test::MakeSignal(0x8000000000000000ull, 0x0000),  // pseudo-denormal
      test::MakeSignal(0x4000000000000000ull, 0x4001),  // unnormal
      test::MakeSignal(0xFFFFFFFFFFFFFFFFull, 0x43FE),  // rounds up to infinity
      test::MakeSignal(0x8000000000000000ull, 0x3BCC),  // below the double denormals
  };
  Instance instance(library);
  const double held[8] = {1.5, -2.25, 3.0e300, 4.0, -5.5, 6.0e-300, 7.0, 8.125};
  for (const test::Signal& value : values) {
    test::SignalArray in, out;
    for (int i = 0; i < GetParam().inputs; ++i) in.Set(i, value);
    const auto r = reinterpret_cast<std::uint32_t>(instance.Record());
    const auto i = reinterpret_cast<std::uint32_t>(in.bytes), o = reinterpret_cast<std::uint32_t>(out.bytes);
    const std::uint32_t initial[] = {0, 0, 0, r, i, o}, simulate[] = {0, 0, 0, 0, 0, 0, r, i, o};
    unsigned short controlBefore, controlAfter, status;
    std::uint32_t mxcsrSaved, mxcsrUnusual = 0x7F80 /* toward zero, all masked */, mxcsrAfter;
    double after[8];
    asm volatile("stmxcsr %0; ldmxcsr %1" : "=m"(mxcsrSaved) : "m"(mxcsrUnusual));
    asm volatile("fnstcw %0; fnclex" : "=m"(controlBefore));
    for (int k = 7; k >= 0; --k) asm volatile("fldl %0" : : "m"(held[k]));
    host::CallStdcall(library.Find("InitSimulationDLL2"), initial, 6, 4);
    host::CallStdcall(library.Find("SimulateDLL3"), simulate, 9, 4);
    asm volatile("fnstsw %0; fnstcw %1; stmxcsr %2" : "=m"(status), "=m"(controlAfter), "=m"(mxcsrAfter));
    for (int k = 0; k < 8; ++k) asm volatile("fstpl %0" : "=m"(after[k]));
    asm volatile("fnclex; ldmxcsr %0" : : "m"(mxcsrSaved));
    EXPECT_EQ(0, status & 0x7F) << "exception or stack-fault flags";
    EXPECT_EQ(controlBefore, controlAfter);
    EXPECT_EQ(mxcsrUnusual, mxcsrAfter);
    EXPECT_EQ(0, std::memcmp(held, after, sizeof held)) << "the host's registers";
    for (int j = 0; j < GetParam().outputs; ++j) EXPECT_TRUE(out.Is(j, test::kHigh) || out.Is(j, test::kLow));
  }
}

// Every entry point called with the stack at each misalignment a 4-byte
// aligned caller can produce: it must work and remove exactly its own
// arguments.
TEST_P(EveryPlugin, EntryPointsWorkOnAMisalignedStackAndCleanUpExactly) {
  std::vector<unsigned char> record(host::kHostRecordSize, 0);
  std::vector<unsigned char> pins(host::kPinInfoSize, 0);
  test::SignalArray in, out;
  unsigned char scratch[16];
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  std::string file = std::string(path) + "stack_probe.bin";
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, handle);
  const auto r = reinterpret_cast<std::uint32_t>(record.data());
  const auto h = reinterpret_cast<std::uint32_t>(handle);
  struct Call {
    const char* name;
    std::vector<std::uint32_t> arguments;
  };
  const std::vector<Call> calls = {
      {"InitUserDLL", {r}},
      {"IsUserDLL32", {}},
      {"GetDLLName", {}},
      {"GetNumberOfInputsOutputs2", {reinterpret_cast<std::uint32_t>(pins.data()), 0, 1, 0}},
      {"GetParameterStruct", {reinterpret_cast<std::uint32_t>(scratch)}},
      {"GetDialogEnableStruct", {reinterpret_cast<std::uint32_t>(scratch), 0}},
      {"SetEnhancedInformation2", {1, 2, 3, 4, 5, 6, 7, 8}},
      {"CanSimulateDLL2", {1, 2, 3, 4, 5, 6, 7}},
      {"InitSimulationDLL2",
       {0, 0, 0, r, reinterpret_cast<std::uint32_t>(in.bytes), reinterpret_cast<std::uint32_t>(out.bytes)}},
      {"SimulateDLL3",
       {0, 0, 0, 0, 0, 0, r, reinterpret_cast<std::uint32_t>(in.bytes), reinterpret_cast<std::uint32_t>(out.bytes)}},
      {"EndSimulationDLL2", {0}},
      {"SetInputChar2", {r}},
      {"SetOutputChar2", {r}},
      {"ShowWindowDLL", {0}},
      {"HideWindowDLL", {r}},
      {"DialogOK", {0}},
      {"WriteToFile", {h, r}},
      {"ReadFromFile", {h, r}},  // at the end of the file: reads nothing
      {"HasDelayDLL", {r}},
      {"DisposeUserDLL", {r}},
  };
  for (int misalignment : {4, 8, 12, 0}) {
    for (const Call& call : calls) {
      const void* function = library.Find(call.name);
      if (!function && std::string(call.name) == "SetEnhancedInformation2" && !GetParam().hasEnhancedInformation)
        continue;
      ASSERT_NE(nullptr, function) << call.name;
      const host::ProbeResult result =
          host::CallStdcall(function, call.arguments.data(), int(call.arguments.size()), misalignment);
      EXPECT_EQ(0, result.stackImbalance) << call.name << " at ESP mod 16 = " << misalignment;
      const std::string name = call.name;
      if (name == "CanSimulateDLL2") {
        EXPECT_EQ(1u, result.eax);
      } else if (name == "SimulateDLL3") {
        EXPECT_EQ(0u, result.eax);
      } else if (name == "GetDLLName") {
        EXPECT_STREQ(GetParam().displayName, reinterpret_cast<const char*>(result.eax));
      }
    }
  }
  CloseHandle(handle);
}

INSTANTIATE_TEST_SUITE_P(Plugins, EveryPlugin, ::testing::ValuesIn(kPlugins));

}  // namespace
