// A host that scans its component folder or opens project after project
// loads and unloads the plug-ins again and again in one process. Each
// cycle (LoadLibrary, place a part, dispose of it, FreeLibrary) must give
// back what it took: a lost thread-local-storage slot per cycle ends the
// process after about a thousand. The memory a cycle leaves behind is
// reported beside that of a DLL with no runtime at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "plugin_facts.h"
#include "plugin_fixture.h"

namespace {

constexpr int kCycles = 1000;

// The process's free thread-local-storage slots: taken until none is left,
// then all given back.
int FreeTlsSlots() {
  std::vector<DWORD> taken;
  for (DWORD slot; (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;) taken.push_back(slot);
  for (DWORD slot : taken) TlsFree(slot);
  return int(taken.size());
}

// Committed private memory of the process (heaps included), from its
// address space itself: not every system reports it in its counters.
SIZE_T PrivateBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    if (static_cast<const char*>(region.BaseAddress) + region.RegionSize < at) break;
  }
  return total;
}

// One cycle as the host runs it; a DLL without entry points is only loaded
// and unloaded.
void Cycle(const std::string& path) {
  HMODULE module = LoadLibraryA(path.c_str());
  ASSERT_NE(nullptr, module) << path << ": error " << GetLastError();
  using RecordFn = void(__stdcall*)(void*);
  auto init = reinterpret_cast<RecordFn>(reinterpret_cast<void*>(GetProcAddress(module, "InitUserDLL")));
  auto dispose = reinterpret_cast<RecordFn>(reinterpret_cast<void*>(GetProcAddress(module, "DisposeUserDLL")));
  if (init && dispose) {
    std::vector<unsigned char> record(8192, 0);  // slot at 5571, host window at 5579: both 0
    init(record.data());
    dispose(record.data());
  }
  ASSERT_TRUE(FreeLibrary(module));
  ASSERT_EQ(nullptr, GetModuleHandleA(path.c_str())) << "still loaded after FreeLibrary";
}

struct Measured {
  int slotsBefore = 0, slotsAfter = 0;
  double bytesPerCycle = 0;
};

Measured RunCycles(const std::string& path) {
  Measured measured;
  Cycle(path);  // the first load of a system DLL the plug-in imports stays
  measured.slotsBefore = FreeTlsSlots();
  const SIZE_T before = PrivateBytes();
  for (int i = 0; i < kCycles && !::testing::Test::HasFatalFailure(); ++i) Cycle(path);
  measured.bytesPerCycle = (double(PrivateBytes()) - double(before)) / kCycles;
  measured.slotsAfter = FreeTlsSlots();
  return measured;
}

class LoadCycles : public ::testing::TestWithParam<test::PluginFacts> {};

TEST_P(LoadCycles, GiveBackEveryThreadLocalStorageSlot) {
  const Measured bare = RunCycles(test::TestFolder() + "bare_dll.dll");
  ASSERT_FALSE(HasFatalFailure());
  const Measured plugin = RunCycles(test::PluginPath(GetParam().dll));
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(plugin.slotsBefore, plugin.slotsAfter) << kCycles << " cycles of " << GetParam().dll;
  // 16 KB over all cycles for the loader's own bookkeeping; a runtime that
  // keeps its memory (the C++ runtime's exception pool is some 19 KB a load)
  // shows at once.
  constexpr double kSlackPerCycle = 16.0;
  EXPECT_LE(plugin.bytesPerCycle, bare.bytesPerCycle + kSlackPerCycle) << "memory left behind per cycle";
  std::printf("%s: %d cycles, free TLS slots %d -> %d; memory %+.1f bytes per cycle "
              "(a DLL without runtime: %+.1f)\n",
              GetParam().dll, kCycles, plugin.slotsBefore, plugin.slotsAfter, plugin.bytesPerCycle, bare.bytesPerCycle);
}

INSTANTIATE_TEST_SUITE_P(Plugins, LoadCycles, ::testing::ValuesIn(test::kPlugins));

}  // namespace
