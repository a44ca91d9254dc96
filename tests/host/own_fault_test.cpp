// Whose a fault is: hostsim's own unless the faulting code lies in a
// plug-in's image, and the report of its own says what it was doing.
#include <gtest/gtest.h>
#include <windows.h>

#include "fault_guard.h"
#include "own_fault.h"
#include "paths.h"

namespace {

void SomeCodeOfThisProgram() {}

TEST(OwnFault, APlugInsCodeIsTheDllsAndNoOtherIs) {
  const std::string dll = host::FullPath(host::ProgramFolder() + "\\..\\bin\\Quenvik.dll");
  const HMODULE module = LoadLibraryW(host::SystemPath(dll).c_str());
  ASSERT_NE(nullptr, module) << dll;
  const void* code = reinterpret_cast<const void*>(GetProcAddress(module, "SimulateDLL3"));
  ASSERT_NE(nullptr, code);
  EXPECT_EQ("", host::PluginAt(code)) << "a DLL loaded but never named as a plug-in is no plug-in";
  host::NotePluginFile(dll);
  EXPECT_EQ(dll, host::PluginAt(code));
  EXPECT_EQ("Quenvik.dll", host::ModuleAt(code));
  EXPECT_EQ("", host::PluginAt(reinterpret_cast<const void*>(&SomeCodeOfThisProgram)));
  EXPECT_EQ("", host::PluginAt(reinterpret_cast<const void*>(&GetTickCount))) << "a system DLL's code";
  EXPECT_EQ("no module", host::ModuleAt(reinterpret_cast<const void*>(std::uintptr_t(16))));
  FreeLibrary(module);
}

TEST(OwnFault, TheMessageSaysWhatHostsimWasDoing) {
  EXPECT_EQ("starting", host::CurrentActivity());
  {
    const host::Activity command("running test");
    const host::Activity step("reading x.vectors");
    EXPECT_EQ("hostsim's own fault while running test; reading x.vectors: it ran out of memory",
              host::OwnFaultMessage("it ran out of memory"));
  }
  EXPECT_EQ("starting", host::CurrentActivity()) << "a step ends with its scope";
}

// The watchdog reads the clock and then the call's start; a call begun in
// between must not look as if it had run for 49 days.
TEST(FaultGuard, OnlyACallRunningLongerThanTheLimitIsOverdue) {
  EXPECT_FALSE(host::RunPastLimit(1000, 999, 5000)) << "a start after the clock was read";
  EXPECT_FALSE(host::RunPastLimit(1000, 6000, 5000));
  EXPECT_TRUE(host::RunPastLimit(1000, 6001, 5000));
  EXPECT_TRUE(host::RunPastLimit(0xFFFFF000ul, 0x00000400ul, 5000)) << "across the clock's wrap";
}

}  // namespace
