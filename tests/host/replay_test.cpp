// What replay trusts in a trace: nothing. A trace is read whole before a
// DLL is loaded, a DLL it names is loaded only by its plain file name and
// only where its SHA-256 is the recorded one, and a bad trace is bad input.
#include <gtest/gtest.h>

#include "hostsim_process.h"
#include "sha256.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::InTests;
using test::Outcome;

std::string HeadNaming(const std::string& part, const std::string& sha) {
  return "korvelant call trace 2\r\npart " + part + "\r\npart-sha256 " + sha + "\r\n";
}

TEST(Replay, LoadsTheDllTheHeadNamesOnlyWhereItsSha256IsTheRecordedOne) {
  const std::string folder = test::Scratch("replay_named");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string dll = folder + "\\telltale.dll", ran = dll + ".ran", trace = folder + "\\t.txt";
  ASSERT_TRUE(CopyFileA(InTests("telltale.dll").c_str(), dll.c_str(), FALSE));
  DeleteFileA(ran.c_str());
  test::WriteAll(trace, HeadNaming("C:\\elsewhere\\telltale.dll", std::string(64, '0')));
  const Outcome other = Hostsim({"replay", trace});
  EXPECT_EQ(2, other.status) << other.out << other.err;
  EXPECT_TRUE(Contains(other.err, "telltale.dll of SHA-256 " + std::string(64, '0') + "; " + dll + " has SHA-256 "))
      << other.err;
  EXPECT_TRUE(Contains(other.err, ": none is loaded; name the DLL to replay against")) << other.err;
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ran.c_str())) << "its DllMain ran";

  for (const char* part :
       {"C:\\x\\..", "\\\\server\\share\\NUL.dll", "C:telltale.dll", "telltale.dll:x.dll", "telltale.exe"}) {
    test::WriteAll(trace, HeadNaming(part, std::string(64, '0')));
    const Outcome refused = Hostsim({"replay", trace});
    EXPECT_EQ(2, refused.status) << part;
    EXPECT_TRUE(Contains(refused.err, "is no plain DLL file name: name the DLL")) << part << "\n" << refused.err;
  }

  char sha[65];
  ASSERT_TRUE(checksum::FileSha256(dll.c_str(), sha));
  test::WriteAll(trace, HeadNaming("D:\\recorded\\telltale.dll", sha));
  const Outcome same = Hostsim({"replay", trace});
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ran.c_str())) << "the very build is loaded\n" << same.err;
  for (const std::string& file : {ran, dll, trace}) DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

// Bytes the recorder left out are unknown, never a difference, while the
// known ones before them are still compared; an export the interface does
// not describe is not called, nor is a call that never returned where
// others follow it; the last call, which never returned, is made again.
TEST(Replay, TakesLeftOutBytesAsUnknownAndMakesNoCallItCannotMakeSoundly) {
  const std::string trace = test::Scratch("unknown_bytes.txt");
  const std::string calls =
      "korvelant call trace 2\r\npart Quenvik.dll\r\n"
      "> 1 12 InitUserDLL depth=0 align=12 cw=037f slots=00d15ef0 slot={cd*4} window={00*4}\r\n"
      "< 1 12 InitUserDLL depth=0 eax=00d106c0 edx=00000045 pop=4 cw=037f slot=c006d100 window={00*4}\r\n"
      "> 2 20 Extra depth=0 align=12 cw=037f slots=?\r\n"
      "< 2 20 Extra depth=0 eax=00000000 edx=00000000 pop=0 cw=037f\r\n"
      "> 3 25 HasDelayDLL depth=0 align=12 cw=037f slots=00d15ef0 slot=c006d100 window={00*4}\r\n"
      "~ 3 30 HasDelayDLL why=next-call\r\n"
      "> 4 32 WriteToFile depth=0 align=12 cw=037f slots=0000007c,00d15ef0 slot=c006d100 window={00*4} file=39\r\n"
      "< 4 32 WriteToFile depth=0 eax=00000001 edx=00d100b0 pop=8 cw=037f slot=c006d100 window={00*4} "
      "file=67+300d0a454e44455f{??*20}\r\n"
      "> 5 40 HasDelayDLL depth=0 align=12 cw=037f slots=00d15ef0 slot=c006d100 window={00*4}\r\n"
      "~ 5 41 HasDelayDLL why=unload\r\n";
  test::WriteAll(trace, calls);
  const Outcome kept = Hostsim({"replay", trace, "Quenvik.dll"});
  EXPECT_EQ(0, kept.status) << kept.out << kept.err;
  EXPECT_TRUE(Contains(kept.out, "\ncall 2 Extra: not replayed: an export the interface does not describe\n"))
      << kept.out;
  EXPECT_TRUE(Contains(kept.out, "\ncall 3 HasDelayDLL: not replayed: it never returned (next-call), and calls "
                                 "follow it"))
      << kept.out;
  EXPECT_TRUE(Contains(kept.out, "\ncall 5 HasDelayDLL: it never returned when recorded (unload), nor did the "
                                 "trace go on: made again, nothing to compare\n"))
      << kept.out;
  EXPECT_TRUE(Contains(kept.out, "\nreplayed 3 calls, 0 differing\n")) << kept.out;

  std::string changed = calls;
  changed.replace(changed.find("+300d0a"), 7, "+310d0a");
  test::WriteAll(trace, changed);
  const Outcome planted = Hostsim({"replay", trace, "Quenvik.dll"});
  EXPECT_EQ(1, planted.status) << planted.out << planted.err;
  EXPECT_TRUE(Contains(planted.out, "first difference: call 4 WriteToFile: file bytes 0 to 7 of 8: recorded 31 0d 0a "
                                    "45 4e 44 45 5f, replayed 30 0d 0a 45 4e 44 45 5f\n"))
      << planted.out;
  DeleteFileA(trace.c_str());
}

}  // namespace
