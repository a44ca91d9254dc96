// The project file's layout as editors on either system leave it, and the
// faults the reader names before any plug-in reads a block.
#include <gtest/gtest.h>

#include "end_marker.h"
#include "failure.h"
#include "project.h"
#include "project_format.h"
#include "settings_text.h"
#include "test_text.h"

namespace {

using host::ProjectLayout;

const std::string kMarker = test::kEndMarker;
const std::string kAdderBlock = "1\r\n" + kMarker;
const std::string kRegisterBlock = "16\r\n0\r\n" + kMarker;
const std::string kSaved =
    "HOSTSIM PROJECT 1\r\nPART 1 Quenvik.dll\r\n" + kAdderBlock + "PART 2 Morrel.dll\r\n" + kRegisterBlock + "END\r\n";

using test::Replaced;

// The file as Notepad saves it as "Unicode" (little-endian) or
// "Unicode big endian".
std::string Utf16(const std::string& text, bool little) {
  std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
  for (char c : text) bytes += little ? std::string{c, '\0'} : std::string{'\0', c};
  return bytes;
}

// What the plug-in of a part reads: its block in the copy with CR LF.
std::string BlockAsRead(const ProjectLayout& layout, std::size_t part) {
  const std::vector<std::size_t> starts = layout.CrLfStarts();
  const host::ProjectPart& p = layout.parts[part];
  return layout.WithCrLf().substr(starts[p.firstBlockLine], starts[p.markerLine + 1] - starts[p.firstBlockLine]);
}

TEST(ProjectLayout, WhatEditorsMakeOfASavedFileStillReadsWithTheBlocksByteExact) {
  const struct {
    const char* what;
    std::string file;
  } variants[] = {
      {"as saved", kSaved},
      {"lines ending in LF", Replaced(kSaved, "\r\n", "\n")},
      {"a byte-order mark", "\xEF\xBB\xBF" + kSaved},
      {"blank lines around the host's lines",
       "\r\n" + Replaced(Replaced(kSaved, "\r\nPART", "\r\n\r\n \t\r\nPART"), "\r\nEND\r\n", "\r\n\r\nEND\r\n") +
           "\r\n\r\n"},
      {"blanks behind the host's lines", Replaced(Replaced(kSaved, ".dll\r\n", ".dll  \r\n"), "END\r\n", "END\t\r\n")},
      {"no line end behind END", kSaved.substr(0, kSaved.size() - 2)},
      {"LF and a mark, as an editor converting it leaves it", "\xEF\xBB\xBF" + Replaced(kSaved, "\r\n", "\n")},
      {"lines ending in CR alone, as old Mac editors save it", Replaced(kSaved, "\r\n", "\r")},
  };
  for (const auto& v : variants) {
    ProjectLayout layout;
    ASSERT_EQ("", host::FailureOf([&] { host::ReadProjectLayout(v.file, "p.hsp", layout); })) << v.what;
    ASSERT_EQ(2u, layout.parts.size()) << v.what;
    EXPECT_EQ(1, layout.parts[0].number);
    EXPECT_EQ("Quenvik.dll", layout.parts[0].dll) << v.what;
    EXPECT_EQ("Morrel.dll", layout.parts[1].dll) << v.what;
    EXPECT_EQ(kAdderBlock, BlockAsRead(layout, 0)) << v.what;
    EXPECT_EQ(kRegisterBlock, BlockAsRead(layout, 1)) << v.what;
  }
}

// The file's own offsets, whatever the copy the plug-ins read from.
TEST(ProjectLayout, SaysHowLinesEndAndWhereTheBlocksAreInTheFile) {
  ProjectLayout layout;
  ASSERT_EQ("", host::FailureOf([&] { host::ReadProjectLayout(kSaved, "p.hsp", layout); }));
  EXPECT_EQ("CR LF", layout.LineEndings());
  EXPECT_EQ(kAdderBlock, kSaved.substr(layout.BlockStart(layout.parts[0]), 28));
  EXPECT_EQ(67u, layout.BlockEnd(layout.parts[0]));
  ASSERT_EQ("", host::FailureOf([&] { host::ReadProjectLayout(Replaced(kSaved, "\r\n", "\n"), "p.hsp", layout); }));
  EXPECT_EQ("LF", layout.LineEndings());
  EXPECT_EQ(37u, layout.BlockStart(layout.parts[0]));
  EXPECT_EQ(63u, layout.BlockEnd(layout.parts[0]));
  ASSERT_EQ("",
            host::FailureOf([&] { host::ReadProjectLayout(Replaced(kSaved, "END\r\n", "END\n"), "p.hsp", layout); }));
  EXPECT_EQ("CR LF and LF", layout.LineEndings());
  const std::string crAlone = Replaced(kSaved, "\r\n", "\r");
  ASSERT_EQ("", host::FailureOf([&] { host::ReadProjectLayout(crAlone, "p.hsp", layout); }));
  EXPECT_EQ("CR", layout.LineEndings());
  EXPECT_EQ(37u, layout.BlockStart(layout.parts[0]));
  EXPECT_EQ(63u, layout.BlockEnd(layout.parts[0]));
  ASSERT_EQ("",
            host::FailureOf([&] { host::ReadProjectLayout(Replaced(crAlone, "END\r", "END\r\n"), "p.hsp", layout); }));
  EXPECT_EQ("CR LF and CR", layout.LineEndings());
}

TEST(ProjectLayout, FaultsNameTheLineTheByteAndTheCause) {
  const std::string kNot8Bit =
      "; a project is 8-bit text, which the plug-ins read byte by byte: save it as 8-bit (ANSI) text";
  const std::string head = "HOSTSIM PROJECT 1\r\nPART 1 Quenvik.dll\r\n" + kAdderBlock;  // 67 bytes, 4 lines
  const struct {
    std::string file, error;
  } cases[] = {
      {head + "PART 2 Morrel.dll\r\n16\r\n0\r\nEND\r\n", "p.hsp: line 8 (byte 93): \"END\" inside the block of part 2 "
                                                         "(\"Morrel.dll\", line 5): the block ends without its "
                                                         "end marker ENDE_MARKE_DER_USER_DLL"},
      {"HOSTSIM PROJECT 1\r\nPART 1 Quenvik.dll\r\n1\r\nPART 2 Morrel.dll\r\n" + kRegisterBlock + "END\r\n",
       "p.hsp: line 4 (byte 42): \"PART 2 Morrel.dll\" inside the block of part 1 (\"Quenvik.dll\", line 2): the block "
       "ends without its end marker ENDE_MARKE_DER_USER_DLL"},
      {head + "PART 2 Morrel.dll\r\n16\r\n",
       "p.hsp: line 7 (byte 90): the file ends inside the block of part 2 (\"Morrel.dll\", line 5): its end marker "
       "ENDE_MARKE_DER_USER_DLL is missing"},
      {head, "p.hsp: line 5 (byte 67): the file ends without END after the block of part 1"},
      {head + "PART 1 Morrel.dll\r\n" + kRegisterBlock + "END\r\n",
       "p.hsp: line 5 (byte 67): \"PART 1 Morrel.dll\" repeats the number of the part in line 2; parts are numbered "
       "1, 2, 3 ... in order, so this one is 2"},
      {head + "PART 3 Morrel.dll\r\n" + kRegisterBlock + "END\r\n",
       "p.hsp: line 5 (byte 67): \"PART 3 Morrel.dll\" where part 2 comes next; parts are numbered 1, 2, 3 ... in "
       "order"},
      {"HOSTSIM PROJECT 1\r\nPART 0 Quenvik.dll\r\n" + kAdderBlock + "END\r\n",
       "p.hsp: line 2 (byte 19): \"PART 0 Quenvik.dll\": parts are numbered from 1"},
      {head + "END\r\n\r\nPART 2 Morrel.dll\r\n",
       "p.hsp: line 7 (byte 74): \"PART 2 Morrel.dll\" after END; nothing but blank lines may follow it"},
      {head + "PART 2\r\n",
       "p.hsp: line 5 (byte 67), after the block of part 1: expected PART or END, found \"PART 2\""},
      {"HOSTSIM PROJECT 1\nPART\tone\n", "p.hsp: line 2 (byte 18), after the first line: expected PART or END, found "
                                         "\"PART\\x09one\""},
      {"HOSTSIM PROJECT 2\r\nEND\r\n",
       "p.hsp: line 1 (byte 0): \"HOSTSIM PROJECT 2\" is a format this hostsim does not read; it reads HOSTSIM "
       "PROJECT 1"},
      {"\r\n \r\n", "p.hsp is not a hostsim project: it is empty"},
      {std::string("MZ\x80\x81\x8D\x8F\x90\x9D\xA0\x00", 10),
       "p.hsp is not a hostsim project: its first line is \"MZ€\\x81\\x8D\\x8F\\x90\\x9D\\u00A0\\x00\", not HOSTSIM "
       "PROJECT 1"},
      // Long lines are quoted up to a character's end, with their length.
      {head + "PART two " + std::string(100, '\x80') + "\r\n",
       "p.hsp: line 5 (byte 67), after the block of part 1: expected PART or END, found \"PART two " +
           Replaced(std::string(51, 'e'), "e", "€") + "…\" (109 bytes)"},
      {head + "PART 2 " + std::string(5000, 'x') + "\r\n",
       "p.hsp: line 6 (byte 5076): the file ends inside the block of part 2 (\"" + std::string(60, 'x') +
           "…\" (5000 bytes), line 5): its end marker ENDE_MARKE_DER_USER_DLL is missing"},
      {Utf16(kSaved, true), "p.hsp is saved as UTF-16 little-endian" + kNot8Bit},
      {Utf16(kSaved, false), "p.hsp is saved as UTF-16 big-endian" + kNot8Bit},
  };
  for (const auto& c : cases) {
    ProjectLayout layout;
    EXPECT_EQ(c.error, host::FailureOf([&] { host::ReadProjectLayout(c.file, "p.hsp", layout); }));
  }
}

TEST(SettingsNotTaken, ComparesWhatWasGivenWithWhatThePartHolds) {
  EXPECT_EQ("", host::SettingsNotTaken("8,1", "8,1"));
  EXPECT_EQ("", host::SettingsNotTaken("08,+1", "8,1")) << "the same numbers in another spelling";
  EXPECT_EQ("", host::SettingsNotTaken("8", "8,1")) << "values not given are not judged";
  EXPECT_EQ("17 (value 1)", host::SettingsNotTaken("17,1", "4,1"));
  EXPECT_EQ("-4 (value 1)", host::SettingsNotTaken("-4,1", "4,1"));
  EXPECT_EQ("a, b (values 1 and 2)", host::SettingsNotTaken("a,b", "4,1"));
  EXPECT_EQ("5 (value 3)", host::SettingsNotTaken("8,1,5", "8,1")) << "more values than the part keeps";
  EXPECT_EQ("x, y, z (values 1, 2 and 3)", host::SettingsNotTaken("x,y,z", ""));
}

TEST(SettingsOfBlock, ValuesOfABlockWhateverItsMarkerLine) {
  EXPECT_EQ("16,0", host::SettingsOfBlock(kRegisterBlock));
  EXPECT_EQ("8,1", host::SettingsOfBlock("8\r\n1\r\nENDE_MARKE_DER_USER_DLL \r\n"));
  EXPECT_EQ("", host::SettingsOfBlock(kMarker));
  EXPECT_EQ("1,\\x09", host::SettingsOfBlock("1\r\n\t\r\n"));
}

}  // namespace
