// Prints the interface's entry points as the markdown table of
// docs/interface.md, row for row from interface/entry_point_list.h, so that
// the document cannot drift from the list (tools/entry-point-doc writes
// and checks it). A new value of the list's terms is a word here, or this
// does not compile (-Werror=switch).
#include <cstdio>
#include <string>

#include "entry_point_list.h"

namespace {

using namespace host::entry_point;

const char* Word(Returns returns) {
  switch (returns) {
    case kNothing:
      return "nothing";
    case kDisplayName:
      return "display name";
    case kLabels:
      return "labels";
    case kItsAddress:
      return "its address";
    case kOne:
      return "1";
    case kZero:
      return "0";
    case kDelayFlag:
      return "delay flag";
  }
  return "?";
}

const char* Word(Presence presence) {
  switch (presence) {
    case kRequired:
      return "required";
    case kOptional:
      return "optional";
  }
  return "?";
}

const char* Word(Instance instance) {
  switch (instance) {
    case kNoInstance:
      return "none";
    case kPlacesInstance:
      return "places";
    case kUsesInstance:
      return "uses";
    case kRemovesInstance:
      return "removes";
    case kDialogOfInstance:
      return "dialog";
  }
  return "?";
}

const char* Word(Writes writes) {
  switch (writes) {
    case kWritesNothing:
      return "nothing";
    case kWritesSlot:
      return "slot";
    case kWritesPinRecord:
      return "pin record";
    case kWritesOutputs:
      return "outputs";
    case kWritesParameters:
      return "parameters";
    case kWritesEnables:
      return "enables";
    case kWritesFile:
      return "file";
  }
  return "?";
}

const char* Word(Slot slot) {
  switch (slot) {
    case kNumber:
      return "number";
    case kWord:
      return "word";
    case kDescribeFlag:
      return "describe flag";
    case kRecord:
      return "record";
    case kPins:
      return "pins";
    case kInputs:
      return "inputs";
    case kOutputs:
      return "outputs";
    case kParameters:
      return "parameters";
    case kEnables:
      return "enables";
    case kFile:
      return "file";
  }
  return "?";
}

std::string SlotsOf(const host::EntryPoint& row) {
  if (row.stackSlots == 0) return "none";
  std::string slots;
  for (int k = 0; k < row.stackSlots; ++k) slots += std::string(k ? ", " : "") + Word(row.slots[k]);
  return slots;
}

}  // namespace

int main() {
  std::puts("| Entry point | Result | Presence | Instance | Writes | Slots |");
  std::puts("|---|---|---|---|---|---|");
  for (const host::EntryPoint& row : host::kInterface)
    std::printf("| `%s` | %s | %s | %s | %s | %s |\n", row.name, Word(row.returns), Word(row.presence),
                Word(row.instance), Word(row.writes), SlotsOf(row).c_str());
  return 0;
}
