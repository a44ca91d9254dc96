// `truth`: the truth table of a part whose outputs follow from its inputs
// alone, found by driving it.
#include <cstdio>

#include "command.h"
#include "options.h"
#include "part_facts.h"

namespace host {
namespace {

int Truth(Arguments arguments, FaultGuard& guard) {
  const CommandLine line = ReadCommandLine(kTruthCommand, arguments);
  const TruthFacts facts = ReadTruthFacts(line.operands[0], guard);
  std::fputs((line.Has("--json") ? TruthFactsJson(facts) : TruthFactsText(facts, DllShown::kFullPath)).c_str(), stdout);
  return facts.Combinational() ? 0 : 1;
}

}  // namespace

const Command kTruthCommand = {"truth",
                               {{"truth DLL [--json]", "truth table of a combinational part; exit status 1\n"
                                                       "for a part whose outputs depend on its history;\n"
                                                       "--json: the same as one JSON object for tools"}},
                               "",
                               Truth};

}  // namespace host
