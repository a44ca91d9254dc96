// Projects through files: the host's lines and the plug-ins' blocks on one
// handle, and what happens when a block is not where the host expects it.
#include <gtest/gtest.h>

#include "hostsim_process.h"

namespace {

using test::Hostsim;
using test::Outcome;

const std::string kMarker = "ENDE_MARKE_DER_USER_DLL\r\n";

class Project : public ::testing::Test {
 protected:
  ~Project() override { DeleteFileA(path.c_str()); }
  const std::string path = test::Scratch("project.hsp");
  std::string Name() const { return path.substr(path.find_last_of('\\') + 1); }
};

TEST_F(Project, SavesOneOfEachByDefault) {
  const Outcome save = Hostsim({"project", "save", path});
  ASSERT_EQ(0, save.status) << save.err;
  EXPECT_EQ("saved " + Name() + ": Quenvik.dll Tamberlo.dll Morrel.dll=8,1\n", save.out);
  EXPECT_EQ("HOSTSIM PROJECT 1\r\nPART 1 Quenvik.dll\r\n0\r\n" + kMarker + "PART 2 Tamberlo.dll\r\n0\r\n" + kMarker +
                "PART 3 Morrel.dll\r\n8\r\n1\r\n" + kMarker + "END\r\n",
            test::ReadAll(path));
}

TEST_F(Project, LoadGivesEachPartItsOwnSettings) {
  ASSERT_EQ(0, Hostsim({"project", "save", path, "Morrel.dll=16,0", "Quenvik.dll=1", "Morrel.dll", "Tamberlo.dll=7"})
                   .status);
  const Outcome load = Hostsim({"project", "load", path});
  ASSERT_EQ(0, load.status) << load.err;
  EXPECT_EQ(Name() + ": 4 parts; each block ended right before the host's next line\n"
                     "  part  DLL           name             block    delay  settings\n"
                     "  1     Morrel.dll    Schieberegister  38-69    0      16,0\n"
                     "  2     Quenvik.dll   Quenvik          90-117   1      1\n"
                     "  3     Morrel.dll    Schieberegister  137-167  1      4,1\n"
                     "  4     Tamberlo.dll  BCD-Anzeige      189-216  7      7\n",
            load.out);
}

TEST_F(Project, ShowMarksTheHostsLinesAndTheBlocks) {
  ASSERT_EQ(0, Hostsim({"project", "save", path, "Quenvik.dll", "Morrel.dll=8,1"}).status);
  const Outcome show = Hostsim({"project", "show", path});
  ASSERT_EQ(0, show.status) << show.err;
  EXPECT_EQ(Name() + ": 122 bytes, 2 parts\n"
                     "  host   HOSTSIM PROJECT 1\n"
                     "  host   PART 1 Quenvik.dll\n"
                     "  block  0\n"
                     "  block  ENDE_MARKE_DER_USER_DLL\n"
                     "  host   PART 2 Morrel.dll\n"
                     "  block  8\n"
                     "  block  1\n"
                     "  block  ENDE_MARKE_DER_USER_DLL\n"
                     "  host   END\n",
            show.out);
}

// A byte between a block and the host's next line: the host, reading on
// where the plug-in stopped, finds it and says where.
TEST_F(Project, ABlockNotEndingWhereTheHostsLineBeginsIsAnError) {
  test::WriteAll(path, "HOSTSIM PROJECT 1\r\nPART 1 Quenvik.dll\r\n0\r\n" + kMarker + "XPART 2 Morrel.dll\r\n" +
                           "8\r\n1\r\n" + kMarker + "END\r\n");
  const Outcome load = Hostsim({"project", "load", path});
  EXPECT_EQ(2, load.status);
  EXPECT_EQ("hostsim: " + path + ": byte 67, after the block of part 1: expected PART or END, found \"XPART 2 Morrel.dll\"\n",
            load.err);
  EXPECT_EQ("", load.out);
}

TEST_F(Project, DamagedAndForeignFilesAreErrors) {
  const std::string start = "HOSTSIM PROJECT 1\r\nPART 1 Morrel.dll\r\n8\r\n1\r\n";
  const struct {
    std::string file, error;
  } cases[] = {
      // The marker's last byte lost: the reader takes the host's END line.
      {start + kMarker.substr(0, 24) + "END\r\n", path + ": ends without END"},
      {start + kMarker, path + ": ends without END"},
      {"HOSTSIM PROJECT 1\r\nPART 1 Nowhere.dll\r\n0\r\n" + kMarker + "END\r\n", "Nowhere.dll: no such file"},
      {"HOSTSIM PROJECT 1\r\nPART one Quenvik.dll\r\nEND\r\n",
       path + ": byte 19, after the first line: expected PART or END, found \"PART one Quenvik.dll\""},
      {"PROJECT\r\n", path + " is not a hostsim project"},
      {"", path + " is not a hostsim project"},
  };
  for (const auto& c : cases) {
    test::WriteAll(path, c.file);
    const Outcome load = Hostsim({"project", "load", path});
    EXPECT_EQ(2, load.status) << c.error;
    EXPECT_EQ("hostsim: " + c.error + "\n", load.err);
  }
  const Outcome show = Hostsim({"project", "show", path});
  EXPECT_EQ("hostsim: " + path + " is not a hostsim project\n", show.err);
  DeleteFileA(path.c_str());
  const Outcome missing = Hostsim({"project", "load", path});
  EXPECT_EQ(2, missing.status);
  EXPECT_EQ(0u, missing.err.find("hostsim: cannot open " + path + ": ")) << missing.err;
  const Outcome unwritable = Hostsim({"project", "save", "Z:\\no\\such\\folder\\x.hsp"});
  EXPECT_EQ(2, unwritable.status);
  EXPECT_EQ(0u, unwritable.err.find("hostsim: cannot create Z:\\no\\such\\folder\\x.hsp: ")) << unwritable.err;
}

}  // namespace
