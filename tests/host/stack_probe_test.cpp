// `check`'s stack probe, made from the table of entry points: which it
// calls, in what order and with what in each slot.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "check.h"

namespace {

// Buffers told apart by their made-up addresses.
const host::ProbeArguments kGiven{0x1000, 0x2000, 0x3000, 0x4000, 0x5000, 0x6000, 0x77};

std::vector<std::string> Names(const std::vector<host::ProbeCall>& calls) {
  std::vector<std::string> names;
  for (const host::ProbeCall& call : calls) names.push_back(call.entry->name);
  return names;
}

TEST(StackProbe, PlacesThePartFirstRemovesItLastAndOpensNoDialog) {
  const std::vector<std::string> names = Names(host::StackProbeCalls(kGiven));
  ASSERT_EQ(host::kEntryPointCount - 1, names.size()) << "all but the dialog, each once";
  EXPECT_EQ("InitUserDLL", names.front());
  EXPECT_EQ("DisposeUserDLL", names.back());
  const auto at = [&](const char* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
  EXPECT_EQ(names.size(), std::size_t(at("CallParameterDialogDLL")));
  EXPECT_LT(at("WriteToFile"), at("ReadFromFile")) << "the block is read after it was written";
  EXPECT_LT(at("IsUserDLL32"), at("GetDLLName")) << "the rest in the order of the interface";
  EXPECT_LT(at("CanSimulateDLL2"), at("InitSimulationDLL2"));
}

TEST(StackProbe, HandsEachSlotItsBufferAndAsksForThePinRecord) {
  using Arguments = std::vector<std::uint32_t>;
  const std::map<std::string, Arguments> expected = {
      {"GetNumberOfInputsOutputs2", {0x2000, 0, 1, 0}},
      {"GetParameterStruct", {0x5000}},
      {"GetDialogEnableStruct", {0x6000, 0}},
      {"InitSimulationDLL2", {0, 0, 0, 0x1000, 0x3000, 0x4000}},
      {"SimulateDLL3", {0, 0, 0, 0, 0, 0, 0x1000, 0x3000, 0x4000}},
      {"WriteToFile", {0x77, 0x1000}},
      {"ReadFromFile", {0x77, 0x1000}},
      {"HideWindowDLL", {0x1000}},
      {"HasDelayDLL", {0x1000}},
      {"DisposeUserDLL", {0x1000}},
      {"ShowWindowDLL", {0}},
      {"EndSimulationDLL2", {0}},
      {"DialogOK", {0}},
  };
  std::size_t compared = 0;
  for (const host::ProbeCall& call : host::StackProbeCalls(kGiven)) {
    EXPECT_EQ(call.entry->stackSlots, int(call.arguments.size())) << call.entry->name;
    const auto found = expected.find(call.entry->name);
    if (found == expected.end()) continue;
    EXPECT_EQ(found->second, call.arguments) << call.entry->name;
    ++compared;
  }
  EXPECT_EQ(expected.size(), compared);
}

}  // namespace
