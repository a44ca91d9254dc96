// Each area of `check` compares parts that hold the same settings, and a
// finding names only what the area saw: a part whose setting changes its
// logic passes, shared settings and shared state are told apart, and a
// fault is named by the call that made it. The one-fault plug-ins and the
// all-faults one are judged in one run.
#include <gtest/gtest.h>

#include "hostsim_process.h"

namespace {

using test::Contains;
using test::InTests;
using test::Outcome;

const char* const kJudged[] = {"one_fault_counter.dll",        "one_fault_shared_count.dll",
                               "one_fault_shared_setting.dll", "one_fault_char_setting.dll",
                               "one_fault_no_slot.dll",        "all_faults_plugin.dll"};

const Outcome& Checked() {
  static const Outcome check = [] {
    std::vector<std::string> arguments = {"check"};
    for (const char* dll : kJudged) arguments.push_back(InTests(dll));
    return test::Hostsim(arguments);
  }();
  return check;
}

// The lines of one DLL's report.
std::string ReportOf(const std::string& dll) { return test::CheckReportOf(Checked().out, dll); }

TEST(CheckAreas, ASettingThatChangesThePartsLogicIsNoFinding) {
  const std::string report = ReportOf("one_fault_counter.dll");
  EXPECT_FALSE(Contains(report, "FINDING")) << report;
  EXPECT_TRUE(Contains(report, "  ok      instances: two parts get instances of their own and keep their settings "
                               "and their state apart\n"))
      << report;
}

TEST(CheckAreas, SharedStateAndSharedSettingsAreToldApart) {
  const std::string count = ReportOf("one_fault_shared_count.dll");
  EXPECT_TRUE(Contains(count, "  FINDING instances: evaluating one part changes the outputs of another (step "))
      << count;
  EXPECT_TRUE(Contains(count, "), both with the same settings: the parts share state\n")) << count;
  EXPECT_FALSE(Contains(count, "share settings")) << count;

  const std::string setting = ReportOf("one_fault_shared_setting.dll");
  EXPECT_TRUE(Contains(setting, "  FINDING instances: loading settings into one part changes another's settings: "
                                "the parts share settings\n"))
      << setting;
  EXPECT_FALSE(Contains(setting, "share state")) << setting;
}

// The block read back differs; the handle's high bits change nothing.
TEST(CheckAreas, AWrongReadBackIsNotBlamedOnTheHandle) {
  const std::string report = ReportOf("one_fault_char_setting.dll");
  EXPECT_TRUE(Contains(report, "  FINDING persistence: a block read back is not written again as it was\n")) << report;
  EXPECT_FALSE(Contains(report, "low 16 bits")) << report;
}

// Nothing that needs an instance is called for the host's fill bytes.
TEST(CheckAreas, ASlotLeftUnwrittenIsNamedNotCalledThrough) {
  const std::string report = ReportOf("one_fault_no_slot.dll");
  EXPECT_TRUE(Contains(report, "  note    stack: the entry points that need a placed part not called: InitUserDLL "
                               "placed none\n"))
      << report;
  for (const char* area : {"labels", "outputs", "record", "persistence", "instances"})
    EXPECT_TRUE(Contains(
        report, std::string("  FINDING ") + area + ": InitUserDLL does not write the instance slot (byte 5571)\n"))
        << area << "\n"
        << report;
  EXPECT_FALSE(Contains(report, "crashed")) << report;
}

TEST(CheckAreas, FindsTheBrokenPlugInsSmallerFaultsByTheCallThatMadeThem) {
  const std::string report = ReportOf("all_faults_plugin.dll");
  const char* const findings[] = {
      "stack: GetDLLName gives a new address on each call, not one static text",
      "stack: byte 2 of the 3 bytes given to GetParameterStruct is 0xAB after the call, not 0",
      "record: InitSimulationDLL2 writes byte 1 of the host record",
      // Wine under an emulator may name the fault otherwise than "access violation".
      "record: DisposeUserDLL crashed on a record whose instance slot is 0: ",
      "persistence: ReadFromFile stops after 26 bytes of a block that is the marker alone, not right after the marker",
  };
  for (const char* finding : findings)
    EXPECT_TRUE(Contains(report, std::string("  FINDING ") + finding)) << finding << "\n" << report;
  EXPECT_FALSE(Contains(report, "DisposeUserDLL writes")) << report;
  EXPECT_EQ(1, Checked().status);
}

}  // namespace
