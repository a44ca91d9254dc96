// `check` passes the three plug-ins and finds each fault of one built with
// them on purpose (broken_plugin/).
#include <gtest/gtest.h>

#include "hostsim_process.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::Outcome;

TEST(Check, PassesTheThreePlugIns) {
  const Outcome check = Hostsim({"check", "Tamberlo.dll", "Quenvik.dll", "Morrel.dll"});
  EXPECT_EQ(0, check.status) << check.out;
  EXPECT_TRUE(Contains(check.out, "\nchecked 3 plug-ins: no findings\n"));
  EXPECT_FALSE(Contains(check.out, "FINDING"));
  for (const char* area : {"exports", "stack", "pins", "labels", "outputs", "record", "persistence", "instances"}) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = check.out.find(std::string("  ok      ") + area + ": ", at)) != std::string::npos;
         ++at)
      ++count;
    EXPECT_EQ(3u, count) << area << " passed once per plug-in:\n" << check.out;
  }
  EXPECT_TRUE(Contains(check.out,
                       test::InBin("Morrel.dll") +
                           " (Schieberegister)\n"
                           "  ok      exports: 20 entry points exported by their plain names\n"
                           "  note    exports: SetEnhancedInformation2 is not exported; the host does without it\n"));
}

TEST(Check, FindsEveryFaultOfABrokenPlugIn) {
  const Outcome check = Hostsim({"check", test::InTests("broken_plugin.dll"), "Quenvik.dll"});
  EXPECT_EQ(1, check.status);
  const char* const findings[] = {
      "exports: HasDelayDLL is exported only decorated, as \"HasDelayDLL@4\"",
      "exports: DialogOK is not exported",
      "stack: CanSimulateDLL2 takes 0 bytes off the stack, not its 28 bytes of arguments (caller-cleans convention)",
      // Wine under an emulator may name the fault otherwise than "access violation".
      "stack: HideWindowDLL crashed: ",
      "pins: writes byte 2102 of the pin record, outside the counts, names and NULs (the slot of output 1)",
      "labels: SetInputChar2 gives two parts the same address",
      "labels: SetOutputChar2 gives two parts the same address",
      "outputs: InitSimulationDLL2 sets output 0 to 4.9, not exactly 5.0 or 0.0",
      "outputs: SimulateDLL3 writes element 2 of the output array, behind its 2 outputs",
      "record: InitUserDLL writes byte 0 of the host record, not only the instance slot",
      "persistence: ReadFromFile stops after 29 bytes of a 28-byte block, not right after the marker",
      "instances: loading settings into one part changes another",
      "instances: evaluating one part changes the outputs of another (step ",
  };
  for (const char* finding : findings)
    EXPECT_TRUE(Contains(check.out, std::string("  FINDING ") + finding)) << finding << "\n" << check.out;
  EXPECT_TRUE(Contains(check.out, "broken_plugin.dll (Kaputt)\n"));
  EXPECT_TRUE(Contains(check.out, "\nchecked 2 plug-ins: "));
  EXPECT_TRUE(Contains(check.out, " findings in 1 of them\n"));
  // The crash and the stack fault did not stop the check of what follows.
  EXPECT_TRUE(Contains(check.out, "Quenvik.dll (Quenvik)\n  ok      exports"));
}

// Bad input, as the README has it for every command: exit status 2 and
// the file named, before any plug-in is judged.
TEST(Check, AFileThatIsNoDllIsBadInputNotAFinding) {
  const std::string text = test::Scratch("text.dll");
  test::WriteAll(text, "text");
  const Outcome check = Hostsim({"check", "Quenvik.dll", text});
  EXPECT_EQ(2, check.status);
  EXPECT_EQ("hostsim: " + text + " is not a 32-bit Windows DLL: it has no header of a Windows program or DLL\n",
            check.err);
  EXPECT_EQ("", check.out);
  DeleteFileA(text.c_str());
}

}  // namespace
