// The part's dialog closed by the host rather than by a user: found when
// it appears, worked on from within its own modal loop, then closed the
// way a user closes it. Each command that opens a part's dialog and does
// not leave it to the user watches for it here.
#pragma once

#include <windows.h>

#include <functional>

namespace host {

// The ways a user closes a dialog: its OK and Cancel buttons, the Esc key,
// the close box in its caption.
enum class DialogExit { kOk, kCancel, kEscape, kCloseBox };
void Leave(HWND dialog, DialogExit exit);

// What is done with the dialog, on its own thread. `onShown` runs once the
// dialog is on the screen as it looks (its queue has run empty, painting
// included) and returns false where it has closed the dialog itself;
// `afterWait` runs `waitSeconds` later, at once for 0, and closes the
// dialog or leaves it to the user. Either may be empty.
struct DialogPlan {
  std::function<bool(HWND dialog)> onShown;
  double waitSeconds = 0;
  std::function<void(HWND dialog)> afterWait;
};

// From its making to its end, watches this thread for the first dialog it
// shows, the part's, and carries out the plan on it. A dialog that is
// gone before its next step is left alone, and no step outlives the
// closer: the next call's dialog is its own.
class DialogCloser {
 public:
  explicit DialogCloser(DialogPlan plan);
  ~DialogCloser();
  DialogCloser(const DialogCloser&) = delete;
  DialogCloser& operator=(const DialogCloser&) = delete;

  bool SawDialog() const { return dialog_ != nullptr; }

 private:
  static LRESULT CALLBACK OnWindowMessage(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
  void Shown(HWND dialog);
  void Step();
  void StepIn(double seconds);

  DialogPlan plan_;
  DialogCloser* outer_;  // the closer this one hides while it lives
  HWND dialog_ = nullptr;
  HHOOK hook_ = nullptr;
  UINT_PTR timer_ = 0;
  bool onShownDone_ = false;
};

}  // namespace host
