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

  // Notes each step and when it ran; closes the dialog `seconds` after it
  // is shown, the way `exit` says.
  DialogPlan NotedPlan(double seconds, DialogExit exit) {
    DialogPlan plan;
    plan.onShown = [this](HWND dialog) {
      steps_.push_back(IsWindowVisible(dialog) ? "shown" : "not yet shown");
      shownAt_ = GetTickCount();
      return true;
    };
    plan.waitSeconds = seconds;
    plan.afterWait = [this, exit](HWND dialog) {
      steps_.push_back("closed");
      closedAt_ = GetTickCount();
      Leave(dialog, exit);
    };
    return plan;
  }

  // The same, but the first step closes the dialog with Cancel and says
  // whether the wait and the second step follow.
  DialogPlan ClosedOnShown(double seconds, bool goOn) {
    DialogPlan plan = NotedPlan(seconds, DialogExit::kOk);
    plan.onShown = [goOn](HWND dialog) {
      Leave(dialog, DialogExit::kCancel);
      return goOn;
    };
    return plan;
  }

  HostWindow window_{"hostsim test"};
  std::vector<std::string> steps_;
  DWORD shownAt_ = 0, closedAt_ = 0;
};

TEST_F(DialogCloserTest, WaitsBetweenItsStepsAndClosesTheDialogTheWayAsked) {
  const DialogCloser closer(NotedPlan(0.5, DialogExit::kOk));
  EXPECT_EQ(IDOK, ShowDialog(window_.Handle()));
  EXPECT_TRUE(closer.SawDialog());
  EXPECT_EQ((std::vector<std::string>{"shown", "closed"}), steps_);
  EXPECT_GE(closedAt_ - shownAt_, 450u);
}

TEST_F(DialogCloserTest, AFirstStepThatClosesTheDialogIsTheLast) {
  const DialogCloser closer(ClosedOnShown(0, false));
  EXPECT_EQ(IDCANCEL, ShowDialog(window_.Handle()));
  EXPECT_TRUE(steps_.empty());
}

// As replay does for two dialog calls: the first closer's step, still
// waiting when its dialog was closed otherwise, neither acts on the second
// dialog nor hurries the second closer's steps.
TEST_F(DialogCloserTest, AStepLeftPendingDoesNotReachTheNextDialog) {
  {
    const DialogCloser first(ClosedOnShown(0.3, true));
    EXPECT_EQ(IDCANCEL, ShowDialog(window_.Handle()));
  }
  const DialogCloser second(NotedPlan(1, DialogExit::kEscape));
  EXPECT_EQ(IDCANCEL, ShowDialog(window_.Handle()));
  EXPECT_EQ((std::vector<std::string>{"shown", "closed"}), steps_);
  EXPECT_GE(closedAt_ - shownAt_, 950u);
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
