// The host's main window: the owner of a part's dialog and the window the
// host's record names. Every command that hands a part a window makes it
// here, the same way.
#pragma once

#include <windows.h>

namespace host {

class HostWindow {
 public:
  // A window with this caption; Handle() is null where none can be made
  // here (no display), and the caller says what that costs.
  explicit HostWindow(const char* caption);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return window_; }

 private:
  HWND window_ = nullptr;
  int unwindingAtStart_;
};

}  // namespace host
