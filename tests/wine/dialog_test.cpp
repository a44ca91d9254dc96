// The properties dialogs on a real display, opened through
// CallParameterDialogDLL and driven from a second thread as a user would:
// what hostsim dialog cannot reach (tests/host/dialog_command_test.cpp
// drives OK, Cancel, Esc, the close box and the values through it): their
// font, the pin record, two instances, whose window they belong to, and
// that the host may call in while one is open.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "plugin_facts.h"
#include "plugin_fixture.h"

namespace {

using Dll = test::PluginFacts;
using test::kMorrel;
using test::kQuenvik;
using test::kTamberlo;

constexpr int kWidthList = 2010;

// The host's pin record, every byte at 0xEE so that writes show.
struct PinRecord {
  PinRecord() { std::memset(bytes, 0xEE, sizeof bytes); }
  bool Untouched() const {
    for (unsigned char b : bytes)
      if (b != 0xEE) return false;
    return true;
  }
  unsigned char bytes[4102];
};

class DialogTest : public test::PluginTest {
 protected:
  void LoadDll(const Dll& dll) {
    dll_ = dll;
    Load(dll.dll);
  }

  // Opens the part's dialog the way the host does and lets `drive` work it.
  test::DialogRun Open(Instance& instance, const std::function<void(HWND)>& drive, PinRecord* pins = nullptr) {
    PinRecord scratch;
    PinRecord* record = pins ? pins : &scratch;
    return test::RunDialog(
        dll_.caption, [&] { library.CallParameterDialogDLL(instance.Record(), record->bytes); }, drive);
  }

  // The settings as the part writes them into a project, marker dropped.
  std::string Settings(Instance& instance) {
    test::ProjectFile file;
    library.WriteToFile(file.Argument(), instance.Record());
    std::string all = file.All();
    return all.substr(0, all.find(test::kEndMarker));
  }

  void Give(Instance& instance, const std::string& settings) {
    test::LoadSettings(library, instance.Record(), settings + test::kEndMarker);
  }

  std::string WithDelay(int delay) const {
    return (dll_.hasWidth ? std::string("8\r\n") : std::string()) + std::to_string(delay) + "\r\n";
  }

  Dll dll_{};
};

class EveryDialog : public DialogTest, public ::testing::WithParamInterface<Dll> {
 protected:
  void SetUp() override { LoadDll(GetParam()); }
};

TEST_P(EveryDialog, IsLaidOutInItsOwnFont) {
  Instance instance(library);
  std::string face, help;
  const test::DialogRun run = Open(instance, [&](HWND dialog) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    char name[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof name, name);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    face = name;
    help = test::Text(GetDlgItem(dialog, test::kHelp));
    test::Click(dialog, test::kCancel);
  });
  ASSERT_TRUE(run.appeared && run.closed);
  EXPECT_EQ("MS Sans Serif", face) << "the font actually drawn with: is it installed in the prefix?";
  EXPECT_EQ("Hilfe", help);
}

// Enter goes to the default button. (OK, Cancel, Esc and the close box
// are driven through `hostsim dialog`, tests/host/dialog_command_test.cpp.)
TEST_P(EveryDialog, EnterStoresTheBox) {
  Instance instance(library);
  Give(instance, WithDelay(1));
  const test::DialogRun run = Open(instance, [&](HWND dialog) {
    test::Click(dialog, dll_.delayBox);
    test::PressKey(dialog, VK_RETURN);
  });
  ASSERT_TRUE(run.appeared && run.closed);
  EXPECT_EQ(0, library.HasDelayDLL(instance.Record()));
}

TEST_P(EveryDialog, RefillsThePinRecordOnlyWhereTheHostExpectsIt) {
  for (int button : {test::kOk, test::kCancel}) {
    Instance instance(library);
    PinRecord pins;
    const test::DialogRun run = Open(
        instance, [&](HWND dialog) { test::Click(dialog, button); }, &pins);
    ASSERT_TRUE(run.appeared && run.closed);
    if (!dll_.refillsPinInfo) {
      EXPECT_TRUE(pins.Untouched()) << "button " << button;
      continue;
    }
    const host::PinDescription described = host::DescribePins(library);
    ASSERT_EQ(described.inputs.size(), pins.bytes[0]) << "button " << button;
    ASSERT_EQ(described.outputs.size(), pins.bytes[1]);
    for (std::size_t i = 0; i < described.inputs.size(); ++i)
      EXPECT_STREQ(described.inputs[i].c_str(), reinterpret_cast<char*>(pins.bytes + 2 + 41 * i));
    for (std::size_t j = 0; j < described.outputs.size(); ++j)
      EXPECT_STREQ(described.outputs[j].c_str(), reinterpret_cast<char*>(pins.bytes + 2052 + 41 * j));
  }
}

TEST_P(EveryDialog, TwoInstancesStayApart) {
  Instance first(library), second(library);
  Give(first, WithDelay(0));
  Give(second, WithDelay(0));
  test::DialogRun run = Open(first, [&](HWND dialog) {
    test::Click(dialog, dll_.delayBox);
    test::Click(dialog, test::kOk);
  });
  ASSERT_TRUE(run.appeared && run.closed);
  EXPECT_EQ(1, library.HasDelayDLL(first.Record()));
  EXPECT_EQ(0, library.HasDelayDLL(second.Record()));

  bool ticked = true;
  run = Open(second, [&](HWND dialog) {
    ticked = test::IsTicked(dialog, dll_.delayBox);
    test::Click(dialog, test::kCancel);
  });
  ASSERT_TRUE(run.appeared && run.closed);
  EXPECT_FALSE(ticked) << "the second dialog shows its own instance";
}

// The modal loop dispatches the host thread's messages: the host may ask
// for the settings, and even open another instance's dialog, meanwhile.
TEST_P(EveryDialog, TheHostMayCallInWhileADialogIsOpen) {
  test::HostWindow host;
  Instance first(library, host.Handle());
  Instance second(library, host.Handle());
  Give(first, WithDelay(0));
  Give(second, WithDelay(0));
  int seenMeanwhile = -1;
  bool innerAppeared = false, innerClosed = false, innerReturned = false;
  const test::DialogRun run = Open(first, [&](HWND dialog) {
    test::Click(dialog, dll_.delayBox);
    host.Call([&] { seenMeanwhile = library.HasDelayDLL(first.Record()); });

    PinRecord pins;
    host.Post([&] {
      library.CallParameterDialogDLL(second.Record(), pins.bytes);
      innerReturned = true;
    });
    HWND inner = test::WaitForDialog(dll_.caption, dialog);
    innerAppeared = inner != nullptr;
    if (inner) {
      test::Click(inner, dll_.delayBox);
      test::Click(inner, test::kOk);
      innerClosed = test::WaitUntilGone(inner);
    }
    host.Call([] {});  // the posted call has returned once this one runs
    test::Click(dialog, test::kCancel);
  });
  ASSERT_TRUE(run.appeared && run.closed);
  ASSERT_TRUE(innerAppeared && innerClosed && innerReturned);
  EXPECT_EQ(0, seenMeanwhile) << "the box was ticked but not yet confirmed";
  EXPECT_EQ(0, library.HasDelayDLL(first.Record())) << "cancelled";
  EXPECT_EQ(1, library.HasDelayDLL(second.Record())) << "confirmed in the inner dialog";
}

INSTANTIATE_TEST_SUITE_P(Plugins, EveryDialog, ::testing::Values(kTamberlo, kQuenvik, kMorrel));

// Owner and place.

POINT Centre(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct Placement {
  HWND owner = nullptr;
  POINT centre{};
};

class DialogOwner : public DialogTest {
 protected:
  test::DialogRun OpenAndLook(Instance& instance, Placement& seen) {
    return Open(instance, [&](HWND dialog) {
      seen.owner = GetWindow(dialog, GW_OWNER);
      seen.centre = Centre(dialog);
      test::Click(dialog, test::kCancel);
    });
  }
  void ExpectNear(POINT expected, POINT actual) {
    EXPECT_NEAR(expected.x, actual.x, 1);
    EXPECT_NEAR(expected.y, actual.y, 1);
  }
};

class KeptHostWindow : public DialogOwner, public ::testing::WithParamInterface<Dll> {
 protected:
  void SetUp() override { LoadDll(GetParam()); }
};

TEST_P(KeptHostWindow, OwnsTheDialogWhichIsCentredOverIt) {
  test::HostWindow host(300, 200, 500, 400);
  test::HostWindow active(20, 20, 200, 150);  // active, but not the recorded one
  Instance instance(library, host.Handle());
  Placement seen;
  ASSERT_TRUE(OpenAndLook(instance, seen).appeared);
  EXPECT_EQ(host.Handle(), seen.owner);
  ExpectNear(Centre(host.Handle()), seen.centre);
}

INSTANTIATE_TEST_SUITE_P(Plugins, KeptHostWindow, ::testing::Values(kTamberlo, kMorrel));

TEST_F(DialogOwner, TheMostRecentlyPlacedInstancesWindowWins) {
  LoadDll(kTamberlo);
  test::HostWindow older, newer;
  Instance first(library, older.Handle());
  Instance second(library, newer.Handle());
  Placement seen;
  ASSERT_TRUE(OpenAndLook(first, seen).appeared);
  EXPECT_EQ(newer.Handle(), seen.owner);
}

TEST_F(DialogOwner, QuenvikBelongsToTheActiveWindow) {
  LoadDll(kQuenvik);
  test::HostWindow recordedButIgnored(40, 40, 200, 200);
  test::HostWindow active(250, 120, 600, 420);
  Instance instance(library, recordedButIgnored.Handle());
  ASSERT_EQ(active.Handle(), GetActiveWindow());
  Placement seen;
  ASSERT_TRUE(OpenAndLook(instance, seen).appeared);
  EXPECT_EQ(active.Handle(), seen.owner);
  ExpectNear(Centre(active.Handle()), seen.centre);
}

TEST_F(DialogOwner, AHostWindowThatIsGoneGivesWayToTheActiveWindow) {
  LoadDll(kMorrel);
  HWND gone;
  {
    test::HostWindow closed;
    gone = closed.Handle();
  }
  test::HostWindow active;
  Instance instance(library, gone);
  Placement seen;
  ASSERT_TRUE(OpenAndLook(instance, seen).appeared);
  EXPECT_EQ(active.Handle(), seen.owner);
}

TEST_F(DialogOwner, WithoutAnyWindowTheDialogIsCentredOnTheScreen) {
  LoadDll(kQuenvik);
  ASSERT_EQ(nullptr, GetActiveWindow());
  Instance instance(library);
  Placement seen;
  ASSERT_TRUE(OpenAndLook(instance, seen).appeared);
  EXPECT_EQ(nullptr, seen.owner);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ExpectNear({(work.left + work.right) / 2, (work.top + work.bottom) / 2}, seen.centre);
}

// The width list with no item selected, which no user can bring about.

TEST_F(DialogTest, OkWithNoWidthSelectedKeepsTheWidth) {
  LoadDll(kMorrel);
  Instance instance(library);
  Give(instance, "8\r\n0\r\n");
  const test::DialogRun run = Open(instance, [&](HWND dialog) {
    test::Select(dialog, kWidthList, -1);
    test::Click(dialog, 2019);
    test::Click(dialog, test::kOk);
  });
  ASSERT_TRUE(run.appeared && run.closed);
  EXPECT_EQ("8\r\n1\r\n", Settings(instance)) << "the width kept, the box stored";
}

// Run without a display (its own CTest entry): the dialog window cannot be
// created, the call comes back, the settings stay, and the pin record is
// refilled all the same where the host expects it.
using WithoutADisplay = EveryDialog;

TEST_P(WithoutADisplay, TheCallReturnsAndNothingChanges) {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  if (probe) DestroyWindow(probe);
  ASSERT_EQ(nullptr, probe) << "this case needs a process without a display";
  Instance instance(library);
  Give(instance, WithDelay(1));
  const std::string before = Settings(instance);
  PinRecord pins;
  const test::DialogRun run = Open(
      instance, [](HWND dialog) { test::Click(dialog, test::kOk); }, &pins);
  EXPECT_FALSE(run.appeared);
  EXPECT_EQ(before, Settings(instance));
  EXPECT_EQ(!dll_.refillsPinInfo, pins.Untouched());
}

INSTANTIATE_TEST_SUITE_P(Plugins, WithoutADisplay, ::testing::Values(kTamberlo, kQuenvik, kMorrel));

}  // namespace
