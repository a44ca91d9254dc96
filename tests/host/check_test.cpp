// `check` passes the three plug-ins and finds each fault of one built with
// them on purpose (all_faults_plugin/).
#include <gtest/gtest.h>

#include <iterator>

#include "hostsim_process.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::Outcome;

const char* const kAreas[] = {"exports", "stack",       "pins",      "labels",        "outputs",
                              "record",  "persistence", "instances", "floating-point"};

std::string JsonText(const std::string& text) {
  std::string json = "\"";
  for (char c : text) json += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
  return json + "\"";
}

std::string XmlText(const std::string& text) {
  std::string xml;
  for (char c : text)
    xml += c == '"' ? "&quot;" : c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
  return xml;
}

TEST(Check, PassesTheThreePlugIns) {
  const Outcome check = Hostsim({"check", "Tamberlo.dll", "Quenvik.dll", "Morrel.dll"});
  EXPECT_EQ(0, check.status) << check.out;
  EXPECT_TRUE(Contains(check.out, "\nchecked 3 plug-ins: no findings\n"));
  EXPECT_FALSE(Contains(check.out, "FINDING"));
  for (const char* area : kAreas)
    EXPECT_EQ(3u, test::Count(check.out, std::string("  ok      ") + area + ": "))
        << area << " passed once per plug-in:\n"
        << check.out;
  EXPECT_TRUE(Contains(check.out,
                       test::InBin("Morrel.dll") +
                           " (Schieberegister)\n"
                           "  ok      exports: 20 entry points exported by their plain names\n"
                           "  note    exports: SetEnhancedInformation2 is not exported; the host does without it\n"));
}

TEST(Check, FindsEveryFaultOfABrokenPlugIn) {
  const Outcome check = Hostsim({"check", test::InTests("all_faults_plugin.dll"), "Quenvik.dll"});
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
  EXPECT_TRUE(Contains(check.out, "all_faults_plugin.dll (Kaputt)\n"));
  EXPECT_TRUE(Contains(check.out, "\nchecked 2 plug-ins: "));
  EXPECT_TRUE(Contains(check.out, " findings in 1 of them\n"));
  // The crash and the stack fault did not stop the check of what follows.
  EXPECT_TRUE(Contains(check.out, "Quenvik.dll (Quenvik)\n  ok      exports"));
}

// The printed report, JUnit and JSON tell the same: every line printed is
// a line of the JSON, every finding a failure of the JUnit report, and
// the counts are the summary's.
TEST(Check, ItsReportsAgree) {
  const std::string junit = test::Scratch("agree.xml"), json = test::Scratch("agree.json");
  const Outcome check =
      Hostsim({"check", test::InTests("all_faults_plugin.dll"), "Quenvik.dll", "--junit", junit, "--json", json});
  EXPECT_EQ(1, check.status);
  const std::string xml = test::ReadAll(junit), js = test::ReadAll(json);
  std::size_t findings = 0;
  for (const std::string& line : test::Lines(check.out)) {
    const std::size_t colon = line.find(": ");
    const bool reportLine = line.size() > 12 && line.compare(0, 2, "  ") == 0 && line[2] != ' ' && line[9] == ' ';
    if (!reportLine || colon == std::string::npos) continue;
    std::string kind = line.substr(2, 7);
    kind.erase(kind.find_last_not_of(' ') + 1);
    const std::string area = line.substr(10, colon - 10), text = line.substr(colon + 2);
    EXPECT_TRUE(Contains(
        js, "{\"kind\": " + JsonText(kind) + ", \"area\": " + JsonText(area) + ", \"text\": " + JsonText(text) + "}"))
        << line << "\n"
        << js;
    if (kind != "FINDING") continue;
    ++findings;
    EXPECT_TRUE(Contains(xml, "<failure message=\"" + XmlText(text) + "\">")) << line;
  }
  EXPECT_EQ(findings, test::Count(js, "\"kind\": \"FINDING\""));
  EXPECT_EQ(findings, test::Count(xml, "<failure "));
  EXPECT_TRUE(Contains(js, "\n  \"findings\": " + std::to_string(findings) + "\n}\n")) << js;
  EXPECT_TRUE(Contains(check.out, "\nchecked 2 plug-ins: " + std::to_string(findings) + " findings in 1 of them\n"));
  // A case per area judged, of both DLLs.
  EXPECT_TRUE(Contains(xml, "<testsuites name=\"hostsim check\" tests=\"18\"")) << xml;
  EXPECT_EQ(2u, test::Count(js, "\"areas\": [\"exports\",\"stack\",\"pins\",\"labels\",\"outputs\",\"record\","
                                "\"persistence\",\"instances\",\"floating-point\"]"))
      << js;
  DeleteFileA(junit.c_str());
  DeleteFileA(json.c_str());
}

// --list names the areas in the order they are judged; --only and --skip
// judge some of them, each as when all are judged, and report no other.
TEST(Check, ListsItsAreasAndJudgesThoseChosen) {
  const Outcome list = Hostsim({"check", "--list"});
  EXPECT_EQ(0, list.status);
  const std::vector<std::string> lines = test::Lines(list.out);
  ASSERT_EQ(std::size(kAreas), lines.size()) << list.out;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    EXPECT_EQ(0u, lines[k].find(std::string(kAreas[k]) + " ")) << lines[k];
    EXPECT_GT(lines[k].size(), 40u) << "with what it judges: " << lines[k];
  }

  const std::string junit = test::Scratch("chosen.xml");
  const Outcome only = Hostsim({"check", "Quenvik.dll", "--only", "outputs,stack", "--junit", junit});
  EXPECT_EQ(0, only.status) << only.out;
  // The outputs are judged by the pin counts, which the pins area, run quietly, takes.
  EXPECT_TRUE(Contains(only.out, "\n  ok      outputs: 11 evaluations: ")) << only.out;
  EXPECT_EQ(2u, test::Count(only.out, "  ok      "));
  EXPECT_FALSE(Contains(only.out, " pins: ")) << only.out;
  EXPECT_TRUE(Contains(test::ReadAll(junit), "<testsuites name=\"hostsim check\" tests=\"2\" failures=\"0\""));
  DeleteFileA(junit.c_str());

  const Outcome skip =
      Hostsim({"check", test::InTests("all_faults_plugin.dll"), "--skip", "exports,stack,pins,labels,outputs,record"});
  EXPECT_EQ(1, skip.status);
  EXPECT_TRUE(Contains(skip.out, "\n  FINDING persistence: ReadFromFile stops after 29 bytes")) << skip.out;
  EXPECT_TRUE(Contains(skip.out, "\n  FINDING instances: evaluating one part changes the outputs of another"));
  EXPECT_TRUE(Contains(skip.out, "\n  FINDING floating-point: SimulateDLL3 with every input ")) << skip.out;
  EXPECT_EQ(6u, test::Count(skip.out, "  FINDING ")) << "none of the areas skipped:\n" << skip.out;
}

// An area that finds nothing to judge (the entry points it calls are
// missing) or is left out is no case of the JUnit report: no pass.
TEST(Check, ReportsNoPassForWhatItCouldNotJudge) {
  const std::string junit = test::Scratch("unjudged.xml");
  const Outcome check = Hostsim({"check", test::InBin("bench\\empty_export.dll"), "--junit", junit});
  EXPECT_EQ(1, check.status);
  EXPECT_TRUE(Contains(check.out, "\n  note    labels: nothing checked that needs a placed part: InitUserDLL or "
                                  "DisposeUserDLL missing\n"))
      << check.out;
  const std::string xml = test::ReadAll(junit);
  EXPECT_TRUE(Contains(xml, "<testsuites name=\"hostsim check\" tests=\"2\" failures=\"1\"")) << xml;
  EXPECT_TRUE(Contains(xml, " name=\"stack\"/>")) << xml;
  DeleteFileA(junit.c_str());
}

// Bad input, as docs/hostsim.md has it for every command: exit status 2 and
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
