#include "dialog_closer.h"

#include <cmath>
#include <string>
#include <utility>

namespace host {
namespace {

// Hooks and timer procedures carry no context of their own.
DialogCloser* active = nullptr;

bool IsDialogBox(HWND window) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  return std::string(className) == "#32770";
}

void PostKey(HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

void Leave(HWND dialog, DialogExit exit) {
  switch (exit) {
    case DialogExit::kOk:
    case DialogExit::kCancel:
      // A dialog without that button gets its command, as the keyboard gives it.
      if (HWND button = GetDlgItem(dialog, exit == DialogExit::kOk ? IDOK : IDCANCEL))
        SendMessageA(button, BM_CLICK, 0, 0);
      else
        PostMessageA(dialog, WM_COMMAND, exit == DialogExit::kOk ? IDOK : IDCANCEL, 0);
      break;
    case DialogExit::kEscape: {
      // Into the dialog's queue, to the control with the focus, where the
      // modal loop's IsDialogMessage turns it into Cancel.
      const HWND focus = GetFocus();
      PostKey(focus && IsChild(dialog, focus) ? focus : dialog, VK_ESCAPE);
      break;
    }
    case DialogExit::kCloseBox:
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

DialogCloser::DialogCloser(DialogPlan plan) : plan_(std::move(plan)), outer_(active) {
  active = this;
  hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, OnWindowMessage, nullptr, GetCurrentThreadId());
}

DialogCloser::~DialogCloser() {
  if (timer_) KillTimer(nullptr, timer_);
  if (hook_) UnhookWindowsHookEx(hook_);
  active = outer_;
}

// A dialog box is shown once its queue has run empty after its creation,
// so the hook waits for that rather than for the dialog's creation.
LRESULT CALLBACK DialogCloser::OnWindowMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && active && !active->dialog_ && message->message == WM_SHOWWINDOW && message->wParam &&
      IsDialogBox(message->hwnd))
    active->Shown(message->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogCloser::Shown(HWND dialog) {
  dialog_ = dialog;
  if (plan_.onShown || plan_.afterWait) StepIn(0);
}

// A timer's message comes only once the dialog's queue holds nothing
// else, painting included.
void DialogCloser::StepIn(double seconds) {
  timer_ = SetTimer(nullptr, 0, seconds > 0 ? UINT(std::lround(seconds * 1000)) : USER_TIMER_MINIMUM, OnTimer);
}

void CALLBACK DialogCloser::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!active || active->timer_ != timer) return;
  active->timer_ = 0;
  active->Step();
}

void DialogCloser::Step() {
  if (!IsWindow(dialog_)) return;
  if (!onShownDone_) {
    onShownDone_ = true;
    if (plan_.onShown && !plan_.onShown(dialog_)) return;
    if (plan_.waitSeconds > 0) return StepIn(plan_.waitSeconds);
  }
  if (plan_.afterWait) plan_.afterWait(dialog_);
}

}  // namespace host
