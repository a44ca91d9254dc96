// The "Hilfe" button of each dialog, reaching a fake help control that
// records its arguments. The three ways to the control run as separate
// CTest entries, since a process loads a control only once and Wine takes
// its own hhctrl.ocx for the bare name unless told otherwise at start:
//  - HelpThroughTheRegistry: the control's registration names the fake;
//  - HelpByTheBareName (WINEDLLOVERRIDES=hhctrl.ocx=n): no usable
//    registration, the fake found as hhctrl.ocx on the search path;
//  - HelpUnavailable (WINEDLLOVERRIDES=hhctrl.ocx=): nothing to load.
// The registration the plug-in reads is a volatile key of the test's own,
// put in place of HKEY_CLASSES_ROOT for this process only.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "fake_help_control/help_call.h"
#include "plugin_facts.h"
#include "plugin_fixture.h"

namespace {

const char kInprocServer[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr UINT kHelpContext = 15;  // HH_HELP_CONTEXT

using Dll = test::PluginFacts;
using test::kPlugins;

// HKEY_CLASSES_ROOT as this process sees it: a volatile key that holds the
// control's registration with `value`, or none when `value` is null.
class ClassesRoot {
 public:
  explicit ClassesRoot(const char* value) {
    name_ = "Software\\KorvelantTests\\Classes" + std::to_string(GetCurrentProcessId());
    RegCreateKeyExA(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &root_,
                    nullptr);
    if (value) {
      HKEY server = nullptr;
      RegCreateKeyExA(root_, kInprocServer, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &server, nullptr);
      RegSetValueExA(server, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), DWORD(strlen(value) + 1));
      RegCloseKey(server);
    }
    overridden_ = RegOverridePredefKey(HKEY_CLASSES_ROOT, root_) == ERROR_SUCCESS;
  }
  ~ClassesRoot() {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KorvelantTests");
  }
  bool Overridden() const { return overridden_; }

 private:
  std::string name_;
  HKEY root_ = nullptr;
  bool overridden_ = false;
};

// The calls the fake loaded as `module` has recorded; none while it is not
// loaded.
std::vector<fake_help::HelpCall> RecordedCalls(const char* module) {
  HMODULE fake = GetModuleHandleA(module);
  if (!fake) return {};
  auto recorded = reinterpret_cast<fake_help::RecordedHelpCallsFn>(
      reinterpret_cast<void*>(GetProcAddress(fake, "RecordedHelpCalls")));
  if (!recorded) return {};
  const fake_help::HelpCall* calls = nullptr;
  const LONG count = recorded(&calls);
  return std::vector<fake_help::HelpCall>(calls, calls + count);
}

std::string ModuleFile(const char* module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA(module), path, MAX_PATH);
  return path;
}

class HelpTest : public test::PluginTest {
 protected:
  struct Clicks {
    bool appeared = false, closed = false;
    bool openAfterEachClick = true;
    bool tickedBefore = false, ticked = false;
  };

  // Opens the part's dialog, clicks "Hilfe" `times`, turns the delay box
  // over and confirms: the dialog must still be there and still work.
  Clicks ClickHelp(const Dll& dll, Instance& instance, int times) {
    Clicks clicks;
    unsigned char pins[4102];
    const test::DialogRun run = test::RunDialog(
        dll.caption, [&] { library.CallParameterDialogDLL(instance.Record(), pins); },
        [&](HWND dialog) {
          for (int i = 0; i < times; ++i) {
            test::Click(dialog, test::kHelp);
            clicks.openAfterEachClick = clicks.openAfterEachClick && IsWindowVisible(dialog) && IsWindowEnabled(dialog);
          }
          clicks.tickedBefore = test::IsTicked(dialog, dll.delayBox);
          test::Click(dialog, dll.delayBox);
          clicks.ticked = test::IsTicked(dialog, dll.delayBox);
          test::Click(dialog, test::kOk);
        });
    clicks.appeared = run.appeared;
    clicks.closed = run.closed;
    return clicks;
  }

  void ExpectCalls(const std::vector<fake_help::HelpCall>& calls, std::size_t from, std::size_t count,
                   const std::string& file, DWORD_PTR topic) {
    ASSERT_EQ(from + count, calls.size());
    for (std::size_t i = from; i < calls.size(); ++i) {
      EXPECT_EQ(nullptr, calls[i].caller) << "call " << i;
      EXPECT_EQ(file, calls[i].file) << "call " << i;
      EXPECT_EQ(kHelpContext, calls[i].command) << "call " << i;
      EXPECT_EQ(topic, calls[i].data) << "call " << i;
    }
  }
};

class HelpThroughTheRegistry : public HelpTest, public ::testing::WithParamInterface<Dll> {};

TEST_P(HelpThroughTheRegistry, EachClickOpensTheTopicBesideTheLibraryAndTheDialogStays) {
  const Dll& dll = GetParam();
  ClassesRoot classes((test::TestFolder() + "fake_help_control.dll").c_str());
  ASSERT_TRUE(classes.Overridden());
  Load(dll.dll);
  Instance instance(library);
  const std::size_t before = RecordedCalls("fake_help_control.dll").size();

  const Clicks clicks = ClickHelp(dll, instance, 2);
  ASSERT_TRUE(clicks.appeared && clicks.closed);
  EXPECT_TRUE(clicks.openAfterEachClick);
  EXPECT_NE(clicks.tickedBefore, clicks.ticked);
  EXPECT_EQ(clicks.ticked ? 1 : 0, library.HasDelayDLL(instance.Record())) << "the dialog still works after help";
  ExpectCalls(RecordedCalls("fake_help_control.dll"), before, 2, test::PluginFolder() + "korvelant.chm", dll.helpTopic);
}

INSTANTIATE_TEST_SUITE_P(Plugins, HelpThroughTheRegistry, ::testing::ValuesIn(kPlugins));

// Built as the dialog opens in Tamberlo, at each click in Quenvik: either
// way from where the library was loaded.
TEST_P(HelpThroughTheRegistry, TheHelpFileFollowsTheLibrary) {
  const Dll& dll = GetParam();
  ClassesRoot classes((test::TestFolder() + "fake_help_control.dll").c_str());
  ASSERT_TRUE(classes.Overridden());
  const std::string elsewhere = test::TestFolder() + "elsewhere\\";
  CreateDirectoryA(elsewhere.c_str(), nullptr);
  const std::string copy = elsewhere + dll.dll;
  ASSERT_TRUE(CopyFileA(test::PluginPath(dll.dll).c_str(), copy.c_str(), FALSE));
  ASSERT_EQ("", host::FailureOf([&] { library.Load(copy); }));
  const std::size_t before = RecordedCalls("fake_help_control.dll").size();
  Instance instance(library);
  const Clicks clicks = ClickHelp(dll, instance, 1);
  ASSERT_TRUE(clicks.appeared && clicks.closed);
  ExpectCalls(RecordedCalls("fake_help_control.dll"), before, 1, elsewhere + "korvelant.chm", dll.helpTopic);
}

class HelpByTheBareName : public HelpTest {
 protected:
  void SetUp() override { ASSERT_TRUE(SetDllDirectoryA((test::TestFolder() + "help_control").c_str())); }
  void TearDown() override { SetDllDirectoryA(nullptr); }

  void ExpectTheFakeFoundByName(const Dll& dll) {
    Load(dll.dll);
    Instance instance(library);
    const std::size_t before = RecordedCalls("hhctrl.ocx").size();
    const Clicks clicks = ClickHelp(dll, instance, 1);
    ASSERT_TRUE(clicks.appeared && clicks.closed);
    EXPECT_EQ(test::TestFolder() + "help_control\\hhctrl.ocx", ModuleFile("hhctrl.ocx"));
    ExpectCalls(RecordedCalls("hhctrl.ocx"), before, 1, test::PluginFolder() + "korvelant.chm", dll.helpTopic);
  }
};

TEST_F(HelpByTheBareName, WhenTheControlIsNotRegistered) {
  ClassesRoot classes(nullptr);
  ASSERT_TRUE(classes.Overridden());
  ExpectTheFakeFoundByName(test::kTamberlo);
}

TEST_F(HelpByTheBareName, WhenTheRegisteredFileWillNotLoad) {
  ClassesRoot classes("C:\\nowhere\\hhctrl.ocx");
  ASSERT_TRUE(classes.Overridden());
  ExpectTheFakeFoundByName(test::kMorrel);
}

class HelpUnavailable : public HelpTest, public ::testing::WithParamInterface<Dll> {};

TEST_P(HelpUnavailable, TheDialogStaysUsable) {
  const Dll& dll = GetParam();
  ClassesRoot classes(nullptr);
  ASSERT_TRUE(classes.Overridden());
  Load(dll.dll);
  Instance instance(library);
  const Clicks clicks = ClickHelp(dll, instance, 2);
  ASSERT_TRUE(clicks.appeared && clicks.closed);
  EXPECT_TRUE(clicks.openAfterEachClick);
  EXPECT_NE(clicks.tickedBefore, clicks.ticked);
  EXPECT_EQ(clicks.ticked ? 1 : 0, library.HasDelayDLL(instance.Record()));
  EXPECT_EQ(nullptr, GetModuleHandleA("hhctrl.ocx")) << "nothing was loaded";
}

INSTANTIATE_TEST_SUITE_P(Plugins, HelpUnavailable, ::testing::ValuesIn(kPlugins));

}  // namespace
