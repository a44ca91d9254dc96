// Driving a plug-in's properties dialog as a user would, while the test's
// main thread plays the host: it calls CallParameterDialogDLL and sits in
// the dialog's modal loop, and a second thread finds the dialog, reads its
// controls, clicks and types.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace test {

// Control ids of every template.
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kHelp = 9;

struct DialogRun {
  bool appeared = false;  // the dialog was found visible on the screen
  bool closed = false;    // and it was gone once `drive` had returned
};

// Runs `open` on this thread and `drive` on a second one as soon as a
// visible dialog with `caption` (and other than `except`) belongs to this
// process. `drive` ends the dialog; one it leaves open is ended from
// outside, so that `open` returns.
DialogRun RunDialog(const char* caption, const std::function<void()>& open,
                    const std::function<void(HWND dialog)>& drive, HWND except = nullptr);

// Waits for such a dialog (any caption when `caption` is null); null when
// none shows up in time or `stop` is set.
HWND WaitForDialog(const char* caption, HWND except = nullptr, const std::atomic<bool>* stop = nullptr);

// Waits until the window is gone; false when it stays.
bool WaitUntilGone(HWND window);

void Click(HWND dialog, int control);
bool IsTicked(HWND dialog, int control);
void Select(HWND dialog, int comboBox, int index);
std::string Text(HWND window);
void PressKey(HWND dialog, WPARAM key);  // posted, as the keyboard would

// A top-level window of the test's main thread standing in for the host's
// window. `Call` runs work on the main thread through its messages, that
// is from within whatever modal loop the main thread is in; `Post` does the
// same without waiting.
class HostWindow {
 public:
  HostWindow(int x = 200, int y = 150, int width = 400, int height = 300);
  ~HostWindow();
  HWND Handle() const { return window_; }
  void Call(const std::function<void()>& work);
  void Post(std::function<void()> work);

 private:
  HWND window_;
};

}  // namespace test
