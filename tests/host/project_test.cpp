// Projects through files: the host's lines and the plug-ins' blocks on one
// handle, and what happens when a block is not where the host expects it.
#include <gtest/gtest.h>

#include "end_marker.h"
#include "hostsim_process.h"
#include "test_text.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::Outcome;

const std::string kMarker = test::kEndMarker;

class Project : public ::testing::Test {
 protected:
  ~Project() override { DeleteFileA(path.c_str()); }
  const std::string path = test::Scratch("project.hsp");
  std::string Name() const { return path.substr(path.find_last_of('\\') + 1); }
};

TEST_F(Project, SavesOneOfEachByDefault) {
  const Outcome save = Hostsim({"project", "save", path});
  ASSERT_EQ(0, save.status) << save.err;
  EXPECT_EQ(
      "saved " + Name() + ": Tamberlo.dll=0 Quenvik.dll=0 Morrel.dll=4,1\nDLLs loaded from " + test::BinFolder() + "\n",
      save.out);
  EXPECT_EQ("HOSTSIM PROJECT 1\r\nPART 1 Tamberlo.dll\r\n0\r\n" + kMarker + "PART 2 Quenvik.dll\r\n0\r\n" + kMarker +
                "PART 3 Morrel.dll\r\n4\r\n1\r\n" + kMarker + "END\r\n",
            test::ReadAll(path));
}

TEST_F(Project, LoadGivesEachPartItsOwnSettings) {
  ASSERT_EQ(
      0, Hostsim({"project", "save", path, "Morrel.dll=16,0", "Quenvik.dll=1", "Morrel.dll", "Tamberlo.dll=7"}).status);
  const Outcome load = Hostsim({"project", "load", path});
  ASSERT_EQ(0, load.status) << load.err;
  EXPECT_EQ(Name() +
                ": 4 parts; each block ended right before the host's next line\n"
                "  part  DLL           name             block    delay  settings\n"
                "  1     Morrel.dll    Schieberegister  38-69    0      16,0\n"
                "  2     Quenvik.dll   Quenvik          90-117   1      1\n"
                "  3     Morrel.dll    Schieberegister  137-167  1      4,1\n"
                "  4     Tamberlo.dll  BCD-Anzeige      189-216  7      7\n"
                "DLLs loaded from " +
                test::BinFolder() +
                "\n"
                "each part writes back the very block it read\n",
            load.out);
}

TEST_F(Project, ShowMarksTheHostsLinesAndTheBlocks) {
  ASSERT_EQ(0, Hostsim({"project", "save", path, "Quenvik.dll", "Morrel.dll=8,1"}).status);
  const Outcome show = Hostsim({"project", "show", path});
  ASSERT_EQ(0, show.status) << show.err;
  EXPECT_EQ(Name() + ": 122 bytes, 2 parts, lines ending in CR LF\n"
                     "  1  host   HOSTSIM PROJECT 1\n"
                     "  2  host   PART 1 Quenvik.dll\n"
                     "  3  block  0\n"
                     "  4  block  ENDE_MARKE_DER_USER_DLL\n"
                     "  5  host   PART 2 Morrel.dll\n"
                     "  6  block  8\n"
                     "  7  block  1\n"
                     "  8  block  ENDE_MARKE_DER_USER_DLL\n"
                     "  9  host   END\n",
            show.out);
}

// A byte between a block and the host's next line: the host, reading on
// where the plug-in stopped, finds it and says where.
TEST_F(Project, ABlockNotEndingWhereTheHostsLineBeginsIsAnError) {
  test::WriteAll(path, "HOSTSIM PROJECT 1\r\nPART 1 Quenvik.dll\r\n0\r\n" + kMarker + "XPART 2 Morrel.dll\r\n" +
                           "8\r\n1\r\n" + kMarker + "END\r\n");
  const Outcome load = Hostsim({"project", "load", path});
  EXPECT_EQ(2, load.status);
  EXPECT_EQ("hostsim: " + path +
                ": line 5 (byte 67), after the block of part 1: expected PART or END, found "
                "\"XPART 2 Morrel.dll\"\n",
            load.err);
  EXPECT_EQ("", load.out);
}

TEST_F(Project, DamagedAndForeignFilesAreErrors) {
  const std::string start = "HOSTSIM PROJECT 1\r\nPART 1 Morrel.dll\r\n8\r\n1\r\n";
  const struct {
    std::string file, error;
  } cases[] = {
      // The marker's last byte lost: the plug-in would take the host's END
      // line into its block.
      {start + kMarker.substr(0, 24) + "END\r\n",
       path + ": line 6 (byte 73): the file ends inside the block of part 1 (\"Morrel.dll\", line 2): its end marker "
              "ENDE_MARKE_DER_USER_DLL is missing"},
      {start + kMarker, path + ": line 6 (byte 69): the file ends without END after the block of part 1"},
      {"HOSTSIM PROJECT 1\r\nPART 1 Nowhere.dll\r\n0\r\n" + kMarker + "END\r\n",
       "Nowhere.dll: no such file in " + path.substr(0, path.find_last_of('\\')) + " or in " + test::BinFolder()},
      {"HOSTSIM PROJECT 1\r\nPART one Quenvik.dll\r\nEND\r\n",
       path + ": line 2 (byte 19), after the first line: expected PART or END, found \"PART one Quenvik.dll\""},
      {"PROJECT\r\n", path + " is not a hostsim project: its first line is \"PROJECT\", not HOSTSIM PROJECT 1"},
      {"", path + " is not a hostsim project: it is empty"},
  };
  for (const auto& c : cases) {
    test::WriteAll(path, c.file);
    const Outcome load = Hostsim({"project", "load", path});
    EXPECT_EQ(2, load.status) << c.error;
    EXPECT_EQ("hostsim: " + c.error + "\n", load.err);
  }
  const Outcome show = Hostsim({"project", "show", path});
  EXPECT_EQ("hostsim: " + path + " is not a hostsim project: it is empty\n", show.err);
  DeleteFileA(path.c_str());
  const Outcome missing = Hostsim({"project", "load", path});
  EXPECT_EQ(2, missing.status);
  EXPECT_EQ(0u, missing.err.find("hostsim: cannot open " + path + ": ")) << missing.err;
  const Outcome unwritable = Hostsim({"project", "save", "Z:\\no\\such\\folder\\x.hsp"});
  EXPECT_EQ(2, unwritable.status);
  EXPECT_EQ(0u, unwritable.err.find("hostsim: cannot create Z:\\no\\such\\folder\\x.hsp: ")) << unwritable.err;
}

// ---- files from editors

// The file with its CR LF line ends made `end`.
std::string WithLineEnds(const std::string& text, const std::string& end) { return test::Replaced(text, "\r\n", end); }
std::string WithLf(const std::string& text) { return WithLineEnds(text, "\n"); }

// Everything but the block offsets, which differ by the CRs.
std::vector<std::string> PartsAndSettings(const std::string& load) {
  std::vector<std::string> rows;
  for (const std::string& line : test::Lines(load))
    if (line.size() > 40 && line.compare(0, 2, "  ") == 0 && line[2] != 'p')
      rows.push_back(line.substr(0, 39) + line.substr(48));
  return rows;
}

// A project saved on Windows and the same edited on Linux or an old Mac:
// each loads, the plug-ins read their blocks byte for byte as saved, and
// the edited file stays as the user left it.
TEST_F(Project, CrLfLfAndCrEditedFilesEachLoadWithBlocksByteExact) {
  ASSERT_EQ(0, Hostsim({"project", "save", path, "Quenvik.dll=1", "Morrel.dll=16,0", "Tamberlo.dll"}).status);
  const std::string saved = test::ReadAll(path);
  const Outcome crLf = Hostsim({"project", "load", path});
  ASSERT_EQ(0, crLf.status) << crLf.err;
  EXPECT_EQ(saved, test::ReadAll(path));
  test::WriteAll(path, WithLf(saved));
  const Outcome lf = Hostsim({"project", "load", path});
  ASSERT_EQ(0, lf.status) << lf.err;
  EXPECT_EQ(WithLf(saved), test::ReadAll(path)) << "the user's file is not touched";
  const std::vector<std::string> lines = test::Lines(lf.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ("lines ending in LF: the plug-ins read their blocks from a scratch copy with CR LF restored", lines[1]);
  EXPECT_EQ(3u, PartsAndSettings(lf.out).size()) << lf.out;
  EXPECT_EQ(PartsAndSettings(crLf.out), PartsAndSettings(lf.out));
  // Each part wrote back what it read, so what it read was its block as
  // saved, CR LF and all.
  EXPECT_EQ("each part writes back the very block it read", lines.back());
  EXPECT_EQ("each part writes back the very block it read", test::Lines(crLf.out).back());
  EXPECT_TRUE(Contains(crLf.out, "  2     Morrel.dll    Schieberegister  86-117   0      16,0\n")) << crLf.out;
  EXPECT_TRUE(Contains(lf.out, "  2     Morrel.dll    Schieberegister  81-109   0      16,0\n")) << lf.out;
  test::WriteAll(path, WithLineEnds(saved, "\r"));
  const Outcome cr = Hostsim({"project", "load", path});
  ASSERT_EQ(0, cr.status) << cr.err;
  EXPECT_EQ(WithLineEnds(saved, "\r"), test::ReadAll(path));
  EXPECT_EQ("lines ending in CR: the plug-ins read their blocks from a scratch copy with CR LF restored",
            test::Lines(cr.out).at(1));
  EXPECT_EQ(PartsAndSettings(crLf.out), PartsAndSettings(cr.out));
  EXPECT_EQ("each part writes back the very block it read", test::Lines(cr.out).back());
  test::WriteAll(path, WithLf(saved));

  const Outcome show = Hostsim({"project", "show", path});
  EXPECT_EQ(0, show.status);
  EXPECT_EQ(0u, show.out.find(Name() + ": " + std::to_string(WithLf(saved).size()) +
                              " bytes, 3 parts, lines ending in LF (load gives the plug-ins their blocks with CR LF)\n"
                              "   1  host   HOSTSIM PROJECT 1\n"
                              "   2  host   PART 1 Quenvik.dll\n"
                              "   3  block  1\n"))
      << show.out;
}

TEST_F(Project, ShowListsADamagedFileUpToItsFault) {
  test::WriteAll(path, "\xEF\xBB\xBFHOSTSIM PROJECT 1\r\n\r\nPART 1 Quenvik.dll\r\n0\r\nPART 2 Morrel.dll\r\nEND\r\n");
  const Outcome show = Hostsim({"project", "show", path});
  EXPECT_EQ(2, show.status);
  EXPECT_EQ(Name() + ": 71 bytes, 1 part, a UTF-8 byte-order mark, lines ending in CR LF\n"
                     "  1  host   HOSTSIM PROJECT 1\n"
                     "  2\n"
                     "  3  host   PART 1 Quenvik.dll\n"
                     "  4  block  0\n",
            show.out);
  EXPECT_EQ("hostsim: " + path +
                ": line 5 (byte 47): \"PART 2 Morrel.dll\" inside the block of part 1 (\"Quenvik.dll\", "
                "line 3): the block ends without its end marker ENDE_MARKE_DER_USER_DLL\n",
            show.err);
  const Outcome load = Hostsim({"project", "load", path});
  EXPECT_EQ(2, load.status);
  EXPECT_EQ(show.err, load.err);
  EXPECT_EQ("", load.out);
}

// A value a part did not take shows on saving and on loading.
TEST_F(Project, ValuesAPartDidNotTakeAreNamed) {
  const Outcome save = Hostsim({"project", "save", path, "Quenvik.dll", "Morrel.dll=17,1"});
  ASSERT_EQ(0, save.status) << save.err;
  EXPECT_EQ("saved " + Name() + ": Quenvik.dll=0 Morrel.dll=4,1\nDLLs loaded from " + test::BinFolder() +
                "\npart 2 (Morrel.dll) did not take 17 (value 1)\n",
            save.out);
  std::string edited = test::ReadAll(path);
  edited.replace(edited.find("4\r\n1\r\n"), 6, "a\r\nb\r\n");
  test::WriteAll(path, edited);
  const Outcome load = Hostsim({"project", "load", path});
  ASSERT_EQ(0, load.status) << load.err;
  EXPECT_EQ("part 2 did not take a, b (values 1 and 2) of its block: it holds 4,1", test::Lines(load.out).back());
}

}  // namespace
