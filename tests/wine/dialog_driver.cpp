#include "dialog_driver.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace test {
namespace {

// Generous: the first window of a process under an emulator takes a while.
constexpr auto kPatience = std::chrono::seconds(60);
constexpr auto kPoll = std::chrono::milliseconds(20);

struct Search {
  const char* caption;  // null: any
  HWND except;
  HWND found;
};

BOOL CALLBACK ConsiderWindow(HWND window, LPARAM searchAddress) {
  auto* search = reinterpret_cast<Search*>(searchAddress);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (process == GetCurrentProcessId() && window != search->except && std::string(className) == "#32770" &&
      IsWindowVisible(window) && (!search->caption || Text(window) == search->caption)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

constexpr UINT kRunWork = WM_APP + 1;
constexpr UINT kRunPostedWork = WM_APP + 2;
const char kHostClass[] = "KorvelantTestHost";

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunWork) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
  }
  if (message == kRunPostedWork) {
    auto* work = reinterpret_cast<std::function<void()>*>(lParam);
    (*work)();
    delete work;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterHostClass() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  windowClass.lpszClassName = kHostClass;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
}

BOOL CALLBACK CancelWindow(HWND window, LPARAM) {
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

}  // namespace

HWND WaitForDialog(const char* caption, HWND except, const std::atomic<bool>* stop) {
  const auto giveUp = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < giveUp && !(stop && *stop)) {
    Search search{caption, except, nullptr};
    EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    std::this_thread::sleep_for(kPoll);
  }
  return nullptr;
}

bool WaitUntilGone(HWND window) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (IsWindow(window)) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

DialogRun RunDialog(const char* caption, const std::function<void()>& open, const std::function<void(HWND)>& drive,
                    HWND except) {
  DialogRun run;
  const DWORD hostThread = GetCurrentThreadId();
  std::atomic<bool> returned{false};
  std::thread driver([&] {
    HWND dialog = WaitForDialog(caption, except, &returned);
    if (dialog) {
      run.appeared = true;
      drive(dialog);
      run.closed = WaitUntilGone(dialog);
      // Past the dialog's own procedure, so that the call comes back even
      // when that procedure is what fails.
      if (!run.closed) EndDialog(dialog, IDCANCEL);
      return;
    }
    if (returned) return;
    // Whatever the main thread is stuck in, let it come back.
    EnumThreadWindows(hostThread, CancelWindow, 0);
  });
  open();
  returned = true;
  driver.join();
  return run;
}

void Click(HWND dialog, int control) { SendMessageA(GetDlgItem(dialog, control), BM_CLICK, 0, 0); }

bool IsTicked(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }

void Select(HWND dialog, int comboBox, int index) {
  SendDlgItemMessageA(dialog, comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void PressKey(HWND dialog, WPARAM key) {
  PostMessageA(dialog, WM_KEYDOWN, key, 1);
  PostMessageA(dialog, WM_KEYUP, key, 0xC0000001);
}

HostWindow::HostWindow(int x, int y, int width, int height) {
  RegisterHostClass();
  window_ = CreateWindowExA(0, kHostClass, "Simulator", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  SetActiveWindow(window_);
}

HostWindow::~HostWindow() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

void HostWindow::Call(const std::function<void()>& work) {
  SendMessageA(window_, kRunWork, 0, reinterpret_cast<LPARAM>(&work));
}

void HostWindow::Post(std::function<void()> work) {
  PostMessageA(window_, kRunPostedWork, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(work))));
}

}  // namespace test
