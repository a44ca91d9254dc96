// Bad input: one line on the error output, exit status 2, nothing else.
#include <gtest/gtest.h>

#include "hostsim_process.h"

namespace {

using test::Hostsim;
using test::InBin;
using test::Outcome;

const std::string kCheckUsage =
    "usage: hostsim check DLL... [--only AREA,...] [--skip AREA,...] [--junit FILE] [--json FILE] | --list";

void ExpectRefused(const std::vector<std::string>& arguments, const std::string& message,
                   const std::string& input = "") {
  const Outcome outcome = Hostsim(arguments, input);
  EXPECT_EQ(2, outcome.status) << message;
  EXPECT_EQ("hostsim: " + message + "\n", outcome.err);
  EXPECT_EQ("", outcome.out) << message;
}

TEST(Refused, CommandsAndTheirArguments) {
  ExpectRefused({}, "no command given; hostsim --help lists them");
  ExpectRefused({"simulate"}, "unknown command \"simulate\"; hostsim --help lists them");
  ExpectRefused({"info"}, "DLL is missing (usage: hostsim info DLL [--json])");
  ExpectRefused({"info", ""}, "the DLL argument is empty");
  const std::string runUsage = "(usage: hostsim run DLL STIMULUS [--settings V,V...] [--vcd FILE])";
  ExpectRefused({"run", "Quenvik.dll"}, "STIMULUS is missing " + runUsage);
  ExpectRefused({"run", "Quenvik.dll", "-", "extra"}, "\"extra\" is one argument too many " + runUsage);
  ExpectRefused({"project", "copy", "a", "b"},
                "\"copy\" is neither save, load nor show (usage: hostsim project save FILE [DLL[=V,V...]...] | load "
                "FILE | show FILE)");
  ExpectRefused({"check"}, "DLL is missing (" + kCheckUsage + ")");
  ExpectRefused({"dialog"},
                "DLL is missing (usage: hostsim dialog DLL [--settings V,V...] [--set CAPTION=VALUE]... [--ok] "
                "[--cancel] [--esc] [--close] [--close-after SECONDS] [--screenshot FILE])");
}

// Each mistake in an option is named: what the option is and what is wrong.
TEST(Refused, Options) {
  ExpectRefused({"run", "Quenvik.dll", "-", "--vcd"}, "--vcd needs a value");
  ExpectRefused({"info", "Quenvik.dll", "--vcd", "x"}, "--vcd is not an option of info; it takes --json");
  ExpectRefused({"demo", "--vcd", "x"}, "--vcd is not an option of demo; it takes none");
  ExpectRefused({"run", "Quenvik.dll", "-", "--vcd="}, "--vcd needs a value, and it is empty");
  ExpectRefused({"run", "Quenvik.dll", "-", "--vcd", "a.vcd", "--vcd=b.vcd"}, "--vcd is given twice");
  ExpectRefused({"run", "Quenvik.dll", "-", "--vdc", "a.vcd"},
                "--vdc is not an option of run; it takes --settings V,V... and --vcd FILE");
  ExpectRefused({"check", "Quenvik.dll", "--verbose"},
                "--verbose is not an option of check; it takes --json FILE, --junit FILE, --only AREA,... and --skip "
                "AREA,...");
  const std::string areas =
      "the areas are exports, stack, pins, labels, outputs, record, persistence, instances, floating-point";
  ExpectRefused({"check", "Quenvik.dll", "--only", "stack,heap"}, "\"heap\" is no area of check; " + areas);
  ExpectRefused({"check", "Quenvik.dll", "--skip", "Stack"}, "\"Stack\" is no area of check; " + areas);
  ExpectRefused({"check", "Quenvik.dll", "--only", "stack", "--skip", "pins"}, "--only and --skip do not go together");
  ExpectRefused({"check", "Quenvik.dll", "--skip",
                 "exports,stack,pins,labels,outputs,record,persistence,instances,floating-point"},
                "--skip leaves no area to judge");
  ExpectRefused({"check", "--list", "Quenvik.dll"}, "--list goes alone (" + kCheckUsage + ")");
  for (const char* count : {"none", "100x", "0", "-1", "1000000001"})
    ExpectRefused({"bench", "Quenvik.dll", "--evaluations", count},
                  "--evaluations takes a whole number from 1 to 1000000000, such as 100000; \"" + std::string(count) +
                      "\" is none");
  for (const char* goal : {"fast", "2x", "0", "-1.5", "1e999", "nan"})
    ExpectRefused({"bench", "Quenvik.dll", "--goal", goal},
                  "--goal takes a ratio above 0, such as 3 or 2.5; \"" + std::string(goal) + "\" is none");
  ExpectRefused({"dialog", "Quenvik.dll", "--close-after", "soon"},
                "--close-after needs a number of seconds from 0 to 86400, such as 5 or 0.5; \"soon\" is none");
  ExpectRefused({"dialog", "Quenvik.dll", "--screenshot"}, "--screenshot needs a value");
}

// A bare name not found names both folders it was looked for in.
std::string NotFound(const std::string& name) {
  const std::string here = test::InTests("");
  return name + ": no such file in " + here.substr(0, here.size() - 1) + " or in " + test::BinFolder();
}

TEST(Refused, DllsThatAreNotPlugIns) {
  ExpectRefused({"info", "Nowhere.dll"}, NotFound("Nowhere.dll"));
  const std::string text = test::Scratch("not_a_dll.dll");
  test::WriteAll(text, "MZ? no, just text\r\n");
  ExpectRefused({"truth", text}, text + " is not a 32-bit Windows DLL: it has no header of a Windows program or DLL");
  ExpectRefused({"run", InBin("hostsim.exe"), "-"},
                InBin("hostsim.exe") + " is not a 32-bit Windows DLL: it is a program, not a DLL");
  // Only `check` goes on with a plug-in that lacks entry points.
  const std::string allFaults = test::InTests("all_faults_plugin.dll");
  ExpectRefused({"bench", allFaults}, allFaults + " is not a plug-in: it does not export DialogOK");
  ExpectRefused({"bench", "Quenvik.dll", allFaults}, allFaults + " is not a plug-in: it does not export DialogOK");
  // Not a plug-in, and not a place for one to come from.
  const std::string empty = InBin("bench\\empty_export.dll");
  ExpectRefused({"bench", empty}, empty + " is not a plug-in: it does not export IsUserDLL32");
  DeleteFileA(text.c_str());
}

// A folder where a DLL belongs is named as one, by every command that
// takes a DLL, and `check` refuses any argument that is no DLL before it
// judges the others, naming it among several.
TEST(Refused, FoldersAndMissingFilesAmongTheDlls) {
  const std::string folder = test::Scratch("plugins");
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* command : {"info", "truth", "dialog", "check"})
    ExpectRefused({command, folder}, folder + " is a folder, not a DLL");
  ExpectRefused({"run", folder, "-"}, folder + " is a folder, not a DLL");
  ExpectRefused({"check", "Quenvik.dll", "Nowhere.dll", "Morrel.dll"}, NotFound("Nowhere.dll"));
  ExpectRefused({"check", "Quenvik.dll", folder}, folder + " is a folder, not a DLL");
  ExpectRefused({"demo", folder}, folder + " holds no parts.txt, the list of the parts the build put there");
  const std::string list = folder + "\\parts.txt";
  test::WriteAll(list, "\r\n\n");
  ExpectRefused({"demo", folder}, list + " names no part");
  test::WriteAll(list, "Quenvik.dll\r\nGone.dll\r\n");
  CopyFileA(InBin("Quenvik.dll").c_str(), (folder + "\\Quenvik.dll").c_str(), FALSE);
  ExpectRefused({"demo", folder}, folder + " holds no Gone.dll, which its parts.txt lists");
  DeleteFileA(list.c_str());
  DeleteFileA((folder + "\\Quenvik.dll").c_str());
  RemoveDirectoryA(folder.c_str());
  ExpectRefused({"demo", folder}, folder + ": no such folder");
}

TEST(Refused, StimuliThatDoNotFitThePart) {
  ExpectRefused({"run", "Quenvik.dll", "-"}, "(standard input):2: 2 values, but the part has 3 inputs", "0 0 0\n1 1\n");
  ExpectRefused({"run", "Quenvik.dll", "-"}, "(standard input):1: \"high\" is neither 0, 1 nor a voltage such as 2.6V",
                "high 0 0\n");
  ExpectRefused({"run", "Quenvik.dll", "-"}, "(standard input): no steps (one line of input values per step)",
                "# A B C\n");
  ExpectRefused({"run", "Quenvik.dll", "-"},
                "(standard input):1: \"2,6V\" is neither 0, 1 nor a voltage such as 2.6V: the decimal separator is a "
                "point, 2.6V",
                "1 2,6V 0\n");
  const std::string missing = test::Scratch("missing.stim");
  const Outcome outcome = Hostsim({"run", "Quenvik.dll", missing});
  EXPECT_EQ(2, outcome.status);
  EXPECT_EQ(0u, outcome.err.find("hostsim: cannot open " + missing + ": ")) << outcome.err;
  EXPECT_EQ(1u, test::Lines(outcome.err).size());
}

// A dump that cannot be written fails the run before it prints anything.
TEST(Refused, ADumpIntoAFolderThatIsNone) {
  const std::string folder = test::Scratch("no_such_folder");
  ExpectRefused({"run", "Quenvik.dll", test::InTests("examples\\quenvik_add.stim"), "--vcd", folder + "\\adder.vcd"},
                "cannot create " + folder + "\\adder.vcd: there is no folder " + folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  ExpectRefused({"run", "Quenvik.dll", test::InTests("examples\\quenvik_add.stim"), "--vcd", folder},
                "cannot create " + folder + ": it is a folder");
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
