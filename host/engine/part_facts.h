// What `info` and `truth` find out about a part by driving it, in two
// forms: text for a reader and JSON for a tool, from the same facts. The
// demo shows the text as the commands print it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fault_guard.h"
#include "part_instance.h"
#include "truth_table.h"

namespace host {

// How a heading names the DLL it is about: a command by the full path of
// the file it loaded, the demo, whose first line names the folder, by the
// file's name.
enum class DllShown { kFullPath, kName };
std::string ShownDll(const std::string& fullPath, DllShown shown);

// One side of a part's pins, its texts as the terminal shows them (UTF-8).
struct PinSide {
  std::string labels;
  std::vector<std::string> names;
};

// What a new instance says of itself, and what its DLL exports.
struct PartFacts {
  std::string dll;   // the full path of the file loaded
  std::string name;  // its display name
  PinSide inputs, outputs;
  std::int32_t delayFlag = 0;
  std::vector<EntryPointName> missing;    // the entry points it does not export
  std::vector<std::string> otherExports;  // in order of their names
};

PartFacts ReadPartFacts(const std::string& path, FaultGuard& guard);
std::string PartFactsText(const PartFacts& facts, DllShown shown);
std::string PartFactsJson(const PartFacts& facts);

// A part's answer to every combination of its inputs.
struct TruthFacts {
  std::string dll, name;                     // as in PartFacts
  std::vector<std::string> inputs, outputs;  // the pins' names, shown
  TruthTable table;
  bool Combinational() const { return !table.dependsOnHistory; }
};

// Throws a Failure for a part with more inputs than a truth table takes.
TruthFacts ReadTruthFacts(const std::string& path, FaultGuard& guard);
std::string TruthFactsText(const TruthFacts& facts, DllShown shown);
std::string TruthFactsJson(const TruthFacts& facts);

}  // namespace host
