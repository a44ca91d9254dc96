// Which file hostsim takes for a DLL argument, names no code page can
// spell, files that are no 32-bit DLL, and files that must not be lost
// when a save fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "hostsim_process.h"

namespace {

using test::Contains;
using test::InBin;
using test::Outcome;
using test::Wide;

// The same path as the wide file functions take it at any length.
std::wstring Long(const std::string& path) { return L"\\\\?\\" + Wide(path); }

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Long(folder + "\\*").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    std::string utf8(name.size() * 3, '\0');
    utf8.resize(std::size_t(
        WideCharToMultiByte(CP_UTF8, 0, name.data(), int(name.size()), &utf8[0], int(utf8.size()), nullptr, nullptr)));
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      RemoveTree(folder + "\\" + utf8);
    else
      DeleteFileW(Long(folder + "\\" + utf8).c_str());
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  RemoveDirectoryW(Long(folder).c_str());
}

std::set<std::wstring> FilesIn(const std::string& folder) {
  std::set<std::wstring> files;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Long(folder + "\\*").c_str(), &found);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
    if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..") files.insert(found.cFileName);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return files;
}

// A scratch folder of the test's own, with copies of DLLs in it.
class Names : public ::testing::Test {
 protected:
  Names() { CreateDirectoryW(Long(folder).c_str(), nullptr); }
  ~Names() override { RemoveTree(folder); }

  // `relative` in the folder (its own folders made), a copy of `from`.
  std::string Copy(const std::string& from, const std::string& relative) {
    for (std::size_t slash = 0; (slash = relative.find('\\', slash + 1)) != std::string::npos;)
      CreateDirectoryW(Long(folder + "\\" + relative.substr(0, slash)).c_str(), nullptr);
    const std::string copy = folder + "\\" + relative;
    EXPECT_TRUE(CopyFileW(Long(from).c_str(), Long(copy).c_str(), FALSE)) << copy;
    return copy;
  }

  Outcome Here(const std::vector<std::string>& arguments) {
    return test::HostsimProcess(arguments, "", folder).Finish();
  }

  const std::string folder = test::Scratch("names");
};

// The folder holds a Tamberlo.dll that is another plug-in than the one
// beside hostsim, and no Quenvik.dll.
TEST_F(Names, ADllArgumentIsTheOneFileItNames) {
  const std::string other = Copy(test::InTests("one_fault_none.dll"), "Tamberlo.dll");
  for (const char* name : {".\\Tamberlo.dll", "./Tamberlo.dll", "Tamberlo.dll"}) {
    const Outcome info = Here({"info", name});
    EXPECT_EQ(0, info.status) << name << ": " << info.err;
    EXPECT_EQ(0u, info.out.find(other + ": Sonderfall\n")) << name << ": " << info.out;
  }
  const Outcome check = Here({"check", "./Tamberlo.dll"});
  EXPECT_EQ(0u, check.out.find(other + " (Sonderfall)\n")) << check.out;
  EXPECT_FALSE(Contains(check.out, "BCD-Anzeige"));
  // With a folder part, no other place stands in for the file.
  const Outcome missing = Here({"info", "./Quenvik.dll"});
  EXPECT_EQ(2, missing.status);
  EXPECT_EQ("hostsim: ./Quenvik.dll: no such file\n", missing.err);
  // A bare name not in the current folder is the one beside hostsim, and
  // the heading says so.
  const Outcome beside = Here({"truth", "Quenvik.dll"});
  EXPECT_EQ(0u, beside.out.find("Quenvik (" + InBin("Quenvik.dll") + "): truth table\n")) << beside.out;
}

TEST_F(Names, NamesBeyondTheCodePageAndThe260CharacterLimitLoadAndShowAsWritten) {
  const std::string longFolder = std::string(100, 'a') + "\\" + std::string(100, 'b') + "\\" + std::string(60, 'c');
  for (const std::string& relative : {std::string("odd\\\xCE\xA9mega.dll"), std::string("\xE6\x97\xA5\xE6\x9C\xAC.dll"),
                                      std::string("Bauteile \xC3\xA4\xC3\xB6\xC3\xBC \xC3\x9F\\Addierer \xC3\x9C.dll"),
                                      longFolder + "\\Quenvik.dll"}) {
    const std::string dll = Copy(InBin("Quenvik.dll"), relative);
    const Outcome info = test::Hostsim({"info", dll});
    EXPECT_EQ(0, info.status) << dll << ": " << info.err;
    EXPECT_EQ(0u, info.out.find(dll + ": Quenvik\n")) << info.out;
  }
  EXPECT_GT(folder.size() + 1 + longFolder.size(), std::size_t(MAX_PATH));
  // Relative to the current folder, and written there: the dump lands
  // under the very name.
  const std::string vcd = "odd\\\xCE\xA9mega.vcd";
  const Outcome run = Here({"run", "odd\\\xCE\xA9mega.dll", test::InTests("examples\\quenvik_add.stim"), "--vcd", vcd});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ(test::Golden("quenvik_add.vcd"), test::ReadAll(folder + "\\" + vcd));
  const std::string inLongFolder = longFolder + "\\p.hsp";
  const Outcome save = Here({"project", "save", inLongFolder, longFolder + "\\Quenvik.dll"});
  EXPECT_EQ(0, save.status) << save.err;
  EXPECT_TRUE(FilesIn(folder + "\\" + longFolder).count(L"p.hsp"));
}

TEST_F(Names, FilesThatAreNo32BitDllAreRefusedBeforeAnythingIsJudged) {
  const std::string program = Copy(InBin("hostsim.exe"), "x.dll");
  std::string image = test::ReadAll(InBin("Quenvik.dll"));
  const std::size_t machine = std::size_t(*reinterpret_cast<const std::uint32_t*>(&image[0x3C])) + 4;
  image[machine] = '\x64';  // IMAGE_FILE_MACHINE_AMD64, 0x8664
  image[machine + 1] = '\x86';
  const std::string wide = folder + "\\x64.dll";
  test::WriteAll(wide, image);
  const struct {
    std::string dll, why;
  } cases[] = {{program, "it is a program, not a DLL"}, {wide, "it is a DLL for 64-bit x86 (x64)"}};
  for (const auto& c : cases) {
    const Outcome check = test::Hostsim({"check", "Quenvik.dll", c.dll});
    EXPECT_EQ(2, check.status);
    EXPECT_EQ("hostsim: " + c.dll + " is not a 32-bit Windows DLL: " + c.why + "\n", check.err);
    EXPECT_EQ("", check.out);
  }
}

// Its DllMain says no: a finding of `check`, which goes on with the next
// DLL; bad input to a command that needs the part.
TEST_F(Names, ADllWhoseInitialisationRefusesIsAFindingOfCheckAndBadInputElsewhere) {
  const std::string refusing = test::InTests("one_fault_refuse.dll");
  const std::string refused = "cannot load " + refusing + ": its initialisation (DllMain) refused to load";
  const Outcome check = test::Hostsim({"check", refusing, "Quenvik.dll"});
  EXPECT_EQ(1, check.status) << check.err;
  EXPECT_EQ(0u, check.out.find(refusing + "\n  FINDING load: " + refused + "\n  1 finding\n")) << check.out;
  EXPECT_TRUE(Contains(check.out, InBin("Quenvik.dll") + " (Quenvik)\n  ok      exports"));
  EXPECT_TRUE(Contains(check.out, "\nchecked 2 plug-ins: 1 finding in 1 of them\n"));
  const Outcome info = test::Hostsim({"info", refusing});
  EXPECT_EQ(2, info.status);
  EXPECT_EQ("hostsim: " + refused + "\n", info.err);
}

// A part that writes nothing: the old project keeps its bytes, a new one
// is not made, and the folder holds nothing else.
TEST_F(Names, AFailedSaveLeavesTheFileAsItWasAndNothingBeside) {
  const std::string keep = folder + "\\keep.hsp", mute = test::InTests("one_fault_mute.dll");
  ASSERT_EQ(0, test::Hostsim({"project", "save", keep}).status);
  const std::string before = test::ReadAll(keep);
  const Outcome over = test::Hostsim({"project", "save", keep, mute});
  EXPECT_EQ(2, over.status);
  EXPECT_EQ("hostsim: cannot save " + keep + ": the WriteToFile of part 1 (" + mute + ") wrote nothing\n", over.err);
  EXPECT_EQ("", over.out);
  EXPECT_EQ(before, test::ReadAll(keep));
  const Outcome fresh = test::Hostsim({"project", "save", folder + "\\new.hsp", "Quenvik.dll", mute});
  EXPECT_EQ(2, fresh.status);
  EXPECT_EQ("hostsim: cannot save " + folder + "\\new.hsp: the WriteToFile of part 2 (" + mute + ") wrote nothing\n",
            fresh.err);
  EXPECT_EQ(std::set<std::wstring>{L"keep.hsp"}, FilesIn(folder));
}

// A folder where a file goes is bad input before any work: no dialog, no
// output.
TEST_F(Names, AFolderAsAFileToWriteIsRefusedFirst) {
  const Outcome dialog = test::Hostsim({"dialog", "Quenvik.dll", "--screenshot", folder});
  EXPECT_EQ(2, dialog.status);
  EXPECT_EQ("hostsim: cannot create " + folder + ": it is a folder\n", dialog.err);
  EXPECT_EQ("", dialog.out);
  const Outcome save = test::Hostsim({"project", "save", folder, test::InTests("one_fault_refuse.dll")});
  EXPECT_EQ("hostsim: cannot create " + folder + ": it is a folder\n", save.err);
  EXPECT_TRUE(FilesIn(folder).empty());
}

}  // namespace
