// The help launcher's binding, against a fake platform that plays the
// registry, the library loader and the control, and records every call.
#include "help_launcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What the fake platform holds and what it was asked.
struct World {
  bool keyExists = true;
  bool valueReadable = true;
  std::string value;  // copied without its NUL when `valueTerminated` is false
  bool valueTerminated = true;
  std::vector<std::string> loadableFiles;
  bool hasOrdinal14 = true;
  std::uintptr_t entryResult = 0x5150;

  std::vector<std::string> calls;  // "open <key>", "query <size>", "close", "load <file>", "fetch <n>", "entry"
  int openKeys = 0;
  struct EntryCall {
    void* caller;
    const char* file;
    std::uint32_t command;
    std::uintptr_t data;
  };
  std::vector<EntryCall> entryCalls;
};
World* world;

int keyToken, moduleToken, entryToken;

bool OpenClassesKey(const char* subKey, void** key) {
  world->calls.push_back(std::string("open ") + subKey);
  if (!world->keyExists) return false;
  ++world->openKeys;
  *key = &keyToken;
  return true;
}

bool QueryDefaultValue(void* key, char* buffer, std::uint32_t size) {
  EXPECT_EQ(&keyToken, key);
  world->calls.push_back("query " + std::to_string(size));
  if (!world->valueReadable) return false;
  const std::size_t bytes = world->value.size() + (world->valueTerminated ? 1 : 0);
  if (bytes > size) return false;  // the value needs more room than announced
  std::memcpy(buffer, world->value.c_str(), bytes);
  return true;
}

void CloseKey(void* key) {
  EXPECT_EQ(&keyToken, key);
  --world->openKeys;
  world->calls.push_back("close");
}

void* LoadLibrary(const char* file) {
  world->calls.push_back(std::string("load ") + file);
  for (const std::string& loadable : world->loadableFiles)
    if (loadable == file) return &moduleToken;
  return nullptr;
}

void* FetchOrdinal(void* module, unsigned ordinal) {
  EXPECT_EQ(&moduleToken, module);
  world->calls.push_back("fetch " + std::to_string(ordinal));
  return world->hasOrdinal14 && ordinal == 14 ? &entryToken : nullptr;
}

std::uintptr_t CallEntry(void* entry, void* caller, const char* file, std::uint32_t command, std::uintptr_t data) {
  EXPECT_EQ(&entryToken, entry);
  world->calls.push_back("entry");
  world->entryCalls.push_back({caller, file, command, data});
  return world->entryResult;
}

constexpr frame::HelpPlatform kFake = {OpenClassesKey, QueryDefaultValue, CloseKey,
                                       LoadLibrary,    FetchOrdinal,      CallEntry};

const std::string kKey = "open CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const std::string kRegistered = "C:\\Windows\\System32\\hhctrl.ocx";

class HelpLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override { world = &w; }
  void TearDown() override {
    EXPECT_EQ(0, w.openKeys) << "every key opened is closed";
    world = nullptr;
  }
  std::uintptr_t Call(std::uintptr_t data = 201) {
    return launcher.CallHtmlHelp(nullptr, "D:\\Sim\\korvelant.chm", 15, data);
  }
  // The calls recorded since the last look.
  std::vector<std::string> TakeCalls() {
    std::vector<std::string> calls;
    calls.swap(w.calls);
    return calls;
  }

  World w;
  frame::HelpLauncher launcher{kFake};
};

using Calls = std::vector<std::string>;

TEST_F(HelpLauncherTest, BindsTheRegisteredControlOnceAndThenOnlyCallsIt) {
  w.value = kRegistered;
  w.loadableFiles = {kRegistered};
  EXPECT_EQ(0x5150u, Call());
  EXPECT_EQ((Calls{kKey, "query 260", "close", "load " + kRegistered, "fetch 14", "entry"}), TakeCalls());

  w.entryResult = 0;
  EXPECT_EQ(0u, Call(300));
  EXPECT_EQ((Calls{"entry"}), TakeCalls()) << "bound: no registry, no load, no fetch";
}

TEST_F(HelpLauncherTest, PassesAllFourArgumentsThroughUnchanged) {
  w.value = kRegistered;
  w.loadableFiles = {kRegistered};
  int window;
  const char* file = "X:\\a\\korvelant.chm";
  launcher.CallHtmlHelp(nullptr, file, 15, 101);
  launcher.CallHtmlHelp(&window, file, 0xFFFFFFFFu, 0xFFFFFFFFu);
  ASSERT_EQ(2u, w.entryCalls.size());
  EXPECT_EQ(nullptr, w.entryCalls[0].caller);
  EXPECT_EQ(file, w.entryCalls[0].file) << "the caller's text itself, not a copy";
  EXPECT_EQ(15u, w.entryCalls[0].command);
  EXPECT_EQ(101u, w.entryCalls[0].data);
  EXPECT_EQ(&window, w.entryCalls[1].caller);
  EXPECT_EQ(0xFFFFFFFFu, w.entryCalls[1].command);
  EXPECT_EQ(0xFFFFFFFFu, w.entryCalls[1].data);
}

TEST_F(HelpLauncherTest, WithoutTheKeyLoadsTheBareName) {
  w.keyExists = false;
  w.loadableFiles = {"hhctrl.ocx"};
  EXPECT_EQ(0x5150u, Call());
  EXPECT_EQ((Calls{kKey, "load hhctrl.ocx", "fetch 14", "entry"}), TakeCalls()) << "nothing to close";
}

TEST_F(HelpLauncherTest, AnUnreadableValueOrAFileThatWillNotLoadLeadsToTheBareName) {
  w.valueReadable = false;
  w.loadableFiles = {"hhctrl.ocx"};
  EXPECT_EQ(0x5150u, Call());
  EXPECT_EQ((Calls{kKey, "query 260", "close", "load hhctrl.ocx", "fetch 14", "entry"}), TakeCalls());

  frame::HelpLauncher other(kFake);
  w.valueReadable = true;
  w.value = "C:\\gone\\hhctrl.ocx";
  EXPECT_EQ(0x5150u, other.CallHtmlHelp(nullptr, "f", 15, 1));
  EXPECT_EQ((Calls{kKey, "query 260", "close", "load C:\\gone\\hhctrl.ocx", "load hhctrl.ocx", "fetch 14", "entry"}),
            TakeCalls());
}

TEST_F(HelpLauncherTest, ValuesAtTheEdgeOfTheBuffer) {
  w.loadableFiles = {"hhctrl.ocx"};
  // 259 characters and the NUL fill the buffer exactly: a usable path.
  w.value = "C:\\" + std::string(256, 'x');
  w.loadableFiles.push_back(w.value);
  Call();
  EXPECT_EQ("load " + w.value, TakeCalls().at(3));

  // 260 characters without a NUL would be read past the buffer's end.
  frame::HelpLauncher unterminated(kFake);
  w.value = "C:\\" + std::string(257, 'x');
  w.valueTerminated = false;
  w.loadableFiles = {"hhctrl.ocx"};
  unterminated.CallHtmlHelp(nullptr, "f", 15, 1);
  EXPECT_EQ((Calls{kKey, "query 260", "close", "load hhctrl.ocx", "fetch 14", "entry"}), TakeCalls());

  // Stored without its NUL but shorter than the buffer: it ends where it ends.
  frame::HelpLauncher shortUnterminated(kFake);
  w.value = kRegistered;
  w.loadableFiles = {kRegistered};
  shortUnterminated.CallHtmlHelp(nullptr, "f", 15, 1);
  EXPECT_EQ("load " + kRegistered, TakeCalls().at(3));
}

TEST_F(HelpLauncherTest, QueryHelpControlPathGivesTheRegisteredFile) {
  char path[frame::kHelpControlPathSize];
  w.value = kRegistered;
  ASSERT_TRUE(launcher.QueryHelpControlPath(path));
  EXPECT_STREQ(kRegistered.c_str(), path);
  w.keyExists = false;
  EXPECT_FALSE(launcher.QueryHelpControlPath(path));
}

TEST_F(HelpLauncherTest, AFailedLoadIsFinal) {
  w.value = kRegistered;
  EXPECT_EQ(0u, Call());
  EXPECT_EQ((Calls{kKey, "query 260", "close", "load " + kRegistered, "load hhctrl.ocx"}), TakeCalls());

  w.loadableFiles = {kRegistered, "hhctrl.ocx"};  // too late
  EXPECT_EQ(0u, Call());
  EXPECT_EQ(0u, Call());
  EXPECT_EQ(Calls{}, TakeCalls()) << "neither the registry nor the loader is asked again";
}

TEST_F(HelpLauncherTest, AMissingEntryPointIsFetchedAgainAtEveryCallWithoutLoadingAgain) {
  w.value = kRegistered;
  w.loadableFiles = {kRegistered};
  w.hasOrdinal14 = false;
  EXPECT_EQ(0u, Call());
  EXPECT_EQ((Calls{kKey, "query 260", "close", "load " + kRegistered, "fetch 14"}), TakeCalls());
  EXPECT_EQ(0u, Call());
  EXPECT_EQ((Calls{"fetch 14"}), TakeCalls()) << "the latch does not stop a module that is held";

  w.hasOrdinal14 = true;
  EXPECT_EQ(0x5150u, Call());
  EXPECT_EQ((Calls{"fetch 14", "entry"}), TakeCalls());
  EXPECT_EQ(0x5150u, Call());
  EXPECT_EQ((Calls{"entry"}), TakeCalls());
}

TEST(HelpFilePathBeside, TheHelpFileInTheLibrarysFolder) {
  EXPECT_EQ("D:\\Sim\\Plugins\\korvelant.chm", frame::HelpFilePathBeside("D:\\Sim\\Plugins\\x.dll"));
  EXPECT_EQ("C:\\korvelant.chm", frame::HelpFilePathBeside("C:\\Tamberlo.dll"));
  EXPECT_EQ("\\\\server\\share\\korvelant.chm", frame::HelpFilePathBeside("\\\\server\\share\\Morrel.dll"));
}

TEST(HelpFilePathBeside, ANameWithoutAFolderGivesAPathThatDoesNotOpen) {
  EXPECT_EQ("", frame::HelpFilePathBeside("Quenvik.dll"));
  EXPECT_EQ("", frame::HelpFilePathBeside(""));
}

}  // namespace
