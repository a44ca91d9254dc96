// The stand-in host: loads plug-in DLLs and drives them through their
// entry points as the simulator does.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "cli.h"
#include "commands.h"

namespace {

const char kUsage[] = "usage: hostsim COMMAND ARGUMENTS\n"
                      "\n"
                      "  info DLL                display name, pins, labels, delay flag, exports\n"
                      "  run DLL STIMULUS [--settings V,V...] [--vcd FILE]\n"
                      "                          one part through a run: the initial evaluation with\n"
                      "                          the first step's inputs, then one evaluation per\n"
                      "                          step; prints a table, and with --vcd writes a Value\n"
                      "                          Change Dump for a waveform viewer\n"
                      "  truth DLL               truth table of a combinational part; exit status 1\n"
                      "                          for a part whose outputs depend on its history\n"
                      "  project save FILE [DLL[=V,V...]...]\n"
                      "                          a project of one part per DLL (default: Quenvik.dll\n"
                      "                          Tamberlo.dll Morrel.dll=8,1); a part first reads the\n"
                      "                          values after = as its settings, one value per line\n"
                      "  project load FILE       places the parts, lets each read its block, shows\n"
                      "                          them; lines ending in LF are read too\n"
                      "  project show FILE       the file's lines, numbered, the host's and the\n"
                      "                          plug-ins', and how they end\n"
                      "  dialog DLL [--close-after SECONDS] [--screenshot FILE]\n"
                      "                          a part's properties dialog (needs a display); ended\n"
                      "                          with Cancel after SECONDS, or once a PNG of it is\n"
                      "                          in FILE\n"
                      "  check DLL...            judges plug-ins by the host's interface; exit\n"
                      "                          status 1 on any finding\n"
                      "  bench DLL... [--evaluations N] [--goal RATIO]\n"
                      "                          time per evaluation through SimulateDLL3 against\n"
                      "                          the floor (an empty export with the same arguments\n"
                      "                          plus the part's least work inline), best of 7\n"
                      "                          rounds, and the imports an evaluation calls; exit\n"
                      "                          status 1 when an evaluation calls any, or with\n"
                      "                          --goal when a ratio to the floor is above RATIO\n"
                      "  demo [FOLDER]           the three plug-ins (default: beside hostsim) at work\n"
                      "\n"
                      "Stimulus files: one step per line, one value per input in pin order (see\n"
                      "info), separated by blanks. A value is 0 (0.0 V), 1 (5.0 V) or a voltage with\n"
                      "its unit, such as 2.6V; above 2.5 V is logic 1. A # starts a comment. 8-bit,\n"
                      "UTF-8 and UTF-16 text are read, with or without a byte-order mark.\n"
                      "STIMULUS - reads standard input. For the full adder, A + B and a carry:\n"
                      "    # A B carry\n"
                      "    0 0 0\n"
                      "    1 1 0\n"
                      "    1 1 2.6V\n"
                      "\n"
                      "VCD: one wire per pin in the scopes PART.in and PART.out, one time unit per\n"
                      "evaluation (0 is the initial one). Names are plain identifiers: the German\n"
                      "letters spelt out (Ae Oe Ue ae oe ue ss), every other run of bytes but letters,\n"
                      "digits and _ one _, and a _ before a digit that would come first.\n"
                      "\n"
                      "Exit status: 0 done, 1 a negative answer (truth, check, bench), 2 bad input.\n";

struct Command {
  const char* name;
  int (*run)(host::Arguments);
};

const Command kCommands[] = {
    {"info", host::InfoCommand},       {"run", host::RunCommand},       {"truth", host::TruthCommand},
    {"project", host::ProjectCommand}, {"dialog", host::DialogCommand}, {"check", host::CheckCommand},
    {"bench", host::BenchCommand},     {"demo", host::DemoCommand},
};

// Output goes out as written: UTF-8, lines ending in LF, also into pipes.
// A console decodes each write on its own, so a character's bytes must not
// be split between writes: the output is written in large blocks.
void PrepareOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  static char block[1 << 16];
  std::setvbuf(stdout, block, _IOFBF, sizeof block);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareOutput();
  // A DLL that will not load is reported by hostsim, not by a message box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const std::string name = argc > 1 ? argv[1] : "";
  if (name == "--help" || name == "-h" || name == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    try {
      return command.run(host::Arguments(argv + 2, argv + argc));
    } catch (const host::Failure& failure) {
      std::fflush(stdout);
      std::fprintf(stderr, "hostsim: %s\n", failure.what());
      return 2;
    }
  }
  std::fprintf(stderr, "hostsim: %s\n",
               name.empty() ? "no command given; hostsim --help lists them"
                            : ("unknown command \"" + name + "\"; hostsim --help lists them").c_str());
  return 2;
}
