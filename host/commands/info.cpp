// `info`: what a plug-in tells the host about itself.
#include <cstdio>

#include "command.h"
#include "options.h"
#include "part_facts.h"

namespace host {
namespace {

int Info(Arguments arguments, FaultGuard& guard) {
  const CommandLine line = ReadCommandLine(kInfoCommand, arguments);
  const PartFacts facts = ReadPartFacts(line.operands[0], guard);
  std::fputs((line.Has("--json") ? PartFactsJson(facts) : PartFactsText(facts, DllShown::kFullPath)).c_str(), stdout);
  return 0;
}

}  // namespace

const Command kInfoCommand = {"info",
                              {{"info DLL [--json]", "display name, pins, labels, delay flag, exports;\n"
                                                     "--json: the same as one JSON object for tools"}},
                              "",
                              Info};

}  // namespace host
