// The host's window and its dialog closer in this process: a dialog with no
// controls shown modally, as a part shows its own, and the closer's steps
// on it, their order, the wait between them, and a step left pending when
// a closer ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_closer.h"
#include "host_window.h"

namespace {

using host::DialogCloser;
using host::DialogExit;
using host::DialogPlan;
using host::HostWindow;
using host::Leave;

// A dialog template with no menu, class, caption or controls.
struct alignas(4) EmptyDialog {
  DLGTEMPLATE head{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 0, 120, 60};
  WORD menu = 0, windowClass = 0, caption = 0;
};

INT_PTR CALLBACK EndOnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message != WM_COMMAND) return FALSE;
  EndDialog(dialog, LOWORD(wParam));
  return TRUE;
}

// The id the dialog ended with.
INT_PTR ShowDialog(HWND owner) {
  static const EmptyDialog shape;
  return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &shape.head, owner, EndOnCommand, 0);
}

class DialogCloserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char display[256] = {};
    if (!GetEnvironmentVariableA("DISPLAY", display, sizeof display) || !display[0]) GTEST_SKIP() << "needs a display";
    ASSERT_TRUE(window_.Handle());
  }
  HostWindow window_{"hostsim test"};
  std::vector<std::string> steps_;
};

TEST_F(DialogCloserTest, WaitsBetweenItsStepsAndClosesTheDialogTheWayAsked) {
  DWORD shownAt = 0, closedAt = 0;
  DialogPlan plan;
  plan.onShown = [&](HWND dialog) {
    steps_.push_back(IsWindowVisible(dialog) ? "shown" : "not yet shown");
    shownAt = GetTickCount();
    return true;
  };
  plan.waitSeconds = 0.5;
  plan.afterWait = [&](HWND dialog) {
    steps_.push_back("closed");
    closedAt = GetTickCount();
    Leave(dialog, DialogExit::kOk);
  };
  const DialogCloser closer(plan);
  EXPECT_EQ(IDOK, ShowDialog(window_.Handle()));
  EXPECT_TRUE(closer.SawDialog());
  EXPECT_EQ((std::vector<std::string>{"shown", "closed"}), steps_);
  EXPECT_GE(closedAt - shownAt, 450u);
}

TEST_F(DialogCloserTest, AFirstStepThatClosesTheDialogIsTheLast) {
  DialogPlan plan;
  plan.onShown = [&](HWND dialog) {
    Leave(dialog, DialogExit::kCancel);
    return false;
  };
  plan.afterWait = [&](HWND dialog) {
    steps_.push_back("after the wait");
    Leave(dialog, DialogExit::kOk);
  };
  const DialogCloser closer(plan);
  EXPECT_EQ(IDCANCEL, ShowDialog(window_.Handle()));
  EXPECT_TRUE(steps_.empty());
}

// As replay does for two dialog calls: the first closer's step, still
// waiting when its dialog was closed otherwise, neither acts on the second
// dialog nor hurries the second closer's steps.
TEST_F(DialogCloserTest, AStepLeftPendingDoesNotReachTheNextDialog) {
  {
    DialogPlan plan;
    plan.onShown = [](HWND dialog) {
      Leave(dialog, DialogExit::kCancel);
      return true;
    };
    plan.waitSeconds = 0.3;
    plan.afterWait = [&](HWND dialog) {
      steps_.push_back("first closer's step");
      Leave(dialog, DialogExit::kOk);
    };
    const DialogCloser first(plan);
    EXPECT_EQ(IDCANCEL, ShowDialog(window_.Handle()));
  }
  DWORD shownAt = 0, closedAt = 0;
  DialogPlan plan;
  plan.onShown = [&](HWND) {
    shownAt = GetTickCount();
    return true;
  };
  plan.waitSeconds = 1;
  plan.afterWait = [&](HWND dialog) {
    steps_.push_back("second closer's step");
    closedAt = GetTickCount();
    Leave(dialog, DialogExit::kEscape);
  };
  const DialogCloser second(plan);
  EXPECT_EQ(IDCANCEL, ShowDialog(window_.Handle()));
  EXPECT_EQ((std::vector<std::string>{"second closer's step"}), steps_);
  EXPECT_GE(closedAt - shownAt, 950u);
}

TEST_F(DialogCloserTest, TheHostWindowEndsWithIt) {
  HWND made = nullptr;
  {
    const HostWindow window("hostsim test");
    made = window.Handle();
    ASSERT_TRUE(made);
    char caption[32] = {};
    GetWindowTextA(made, caption, sizeof caption);
    EXPECT_STREQ("hostsim test", caption);
  }
  EXPECT_FALSE(IsWindow(made));
}

}  // namespace
