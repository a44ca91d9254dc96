#include "host_window.h"

#include <exception>
#include <string>

namespace host {
namespace {

constexpr char kWindowClass[] = "HostsimMainWindow";

// Under Wine, the prefix's desktop may belong to another display than
// this one, or to none: left by an earlier run while its wineserver lives
// on. A desktop named for this display is started for it, by this
// process and with its DISPLAY, before the first window is made. A thread
// that already has windows keeps its desktop.
void UseDesktopOfThisDisplay() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  char display[256] = {};
  if (!ntdll || !GetProcAddress(ntdll, "wine_get_version") ||
      !GetEnvironmentVariableA("DISPLAY", display, sizeof display) || !display[0])
    return;
  const std::string name = std::string("hostsim on ") + display;
  if (HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr))
    SetThreadDesktop(desktop);
}

// Registering again fails harmlessly: the class is the process's.
void RegisterWindowClass() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);
}

}  // namespace

HostWindow::HostWindow(const char* caption) : unwindingAtStart_(std::uncaught_exceptions()) {
  UseDesktopOfThisDisplay();
  RegisterWindowClass();
  window_ = CreateWindowExA(0, kWindowClass, caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Left as it is when a failure ends its user: a dialog it still owns may
// be a failed part's, whose code its destruction would call again.
HostWindow::~HostWindow() {
  if (window_ && std::uncaught_exceptions() == unwindingAtStart_) DestroyWindow(window_);
}

}  // namespace host
