// `dialog`: a part's properties dialog, opened as the host opens it, with
// the host's main window as its owner. The user closes it, or hostsim
// does with Cancel: after a time, or once it has taken a screenshot.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "host_file.h"
#include "options.h"
#include "paths.h"
#include "placed_part.h"
#include "png_writer.h"
#include "settings_text.h"
#include "text.h"

namespace host {
namespace {

// What the dialog's thread hook and timers share: one dialog per run.
struct DialogWatch {
  double closeAfter = -1;  // seconds; below 0 the user closes it
  std::string screenshot;  // a PNG file to write, or none
  HWND dialog = nullptr;
  HHOOK hook = nullptr;
  std::string shotNote, shotError;
  bool cancelled = false;
};
DialogWatch* watch = nullptr;

// Under Wine, the prefix's desktop may belong to another display than
// this one, or to none: left by an earlier run while its wineserver lives
// on. A desktop named for this display is started for it, by this
// process and with its DISPLAY, before the first window is made.
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

HWND CreateHostWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "HostsimMainWindow";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "hostsim", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
}

// The window as the screen shows it, frame and all, drawn afresh first.
RgbImage CaptureWindow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT frame;
  GetWindowRect(window, &frame);
  RgbImage image;
  image.width = frame.right - frame.left;
  image.height = frame.bottom - frame.top;
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = image.width;
  format.bmiHeader.biHeight = -image.height;  // rows from the top
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const bool copied = bits && BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  if (copied) {
    // DIB rows are blue, green, red and padded to 4 bytes.
    const std::size_t stride = (std::size_t(image.width) * 3 + 3) & ~std::size_t(3);
    const auto* row = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < image.height; ++y, row += stride)
      for (int x = 0; x < image.width; ++x)
        image.rgb.insert(image.rgb.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  if (!copied) image = {};
  return image;
}

void WriteScreenshot(HWND dialog) {
  const RgbImage image = CaptureWindow(dialog);
  if (image.rgb.empty()) {
    watch->shotError = "the dialog could not be copied from the screen, so " + watch->screenshot + " was not written";
    return;
  }
  // Runs in the dialog's window procedure: the failure is kept for after
  // the dialog, not thrown through Windows.
  try {
    WriteWholeFile(watch->screenshot, PngOf(image));
    watch->shotNote = "wrote " + watch->screenshot + ": the dialog, " + std::to_string(image.width) + " x " +
                      std::to_string(image.height) + " pixels\n";
  } catch (const Failure& failure) {
    watch->shotError = failure.what();
  }
}

// As the user would: a click on Cancel, or its command where there is no
// such button.
void Cancel(HWND dialog) {
  watch->cancelled = true;
  if (HWND button = GetDlgItem(dialog, IDCANCEL))
    SendMessageA(button, BM_CLICK, 0, 0);
  else
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

UINT Milliseconds(double seconds) { return UINT(std::lround(seconds * 1000)); }

// A timer's message comes only once the dialog's queue holds nothing
// else, painting included: the dialog is on the screen as it looks.
void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!IsWindow(watch->dialog)) return;
  if (!watch->screenshot.empty() && watch->shotNote.empty() && watch->shotError.empty()) {
    WriteScreenshot(watch->dialog);
    if (watch->closeAfter > 0) {
      SetTimer(nullptr, 0, Milliseconds(watch->closeAfter), OnTimer);
      return;
    }
  }
  Cancel(watch->dialog);
}

// The first dialog this thread shows is the part's. A dialog box is shown
// once its queue has run empty after its creation, so the hook waits for
// that rather than for the dialog's creation.
LRESULT CALLBACK OnWindowMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && !watch->dialog && message->message == WM_SHOWWINDOW && message->wParam) {
    char className[16] = {};
    GetClassNameA(message->hwnd, className, sizeof className);
    if (std::string(className) == "#32770") {
      watch->dialog = message->hwnd;
      const bool now = !watch->screenshot.empty() || watch->closeAfter == 0;
      SetTimer(nullptr, 0, now ? USER_TIMER_MINIMUM : Milliseconds(watch->closeAfter), OnTimer);
    }
  }
  return CallNextHookEx(watch->hook, code, wParam, lParam);
}

double Seconds(const std::string& text) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(seconds) || seconds < 0 || seconds > 86400)
    throw Failure("--close-after needs a number of seconds from 0 to 86400, such as 5 or 0.5; " + Quoted(text) +
                  " is none");
  return seconds;
}

std::string Closed(const DialogWatch& run) {
  if (!run.cancelled) return "dialog closed";
  if (!run.screenshot.empty() && run.closeAfter <= 0) return "dialog closed (Cancel after the screenshot)";
  char after[64];
  std::snprintf(after, sizeof after, "dialog closed (Cancel after %g s)", run.closeAfter);
  return after;
}

int Dialog(Arguments arguments) {
  DialogWatch run;
  const CommandLine line = ReadCommandLine(kDialogCommand, arguments);
  const std::string& dll = line.operands[0];
  if (line.Has("--close-after")) run.closeAfter = Seconds(line.Option("--close-after"));
  run.screenshot = line.Option("--screenshot");
  if (!run.screenshot.empty()) CheckWritable(run.screenshot);
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(dll);
  UseDesktopOfThisDisplay();
  const HWND window = CreateHostWindow();
  if (!window) throw Failure("the dialog needs a display, and no window can be created here");
  watch = &run;
  run.hook = SetWindowsHookExA(WH_CALLWNDPROCRET, OnWindowMessage, nullptr, GetCurrentThreadId());
  {
    PlacedPart part(*library, window);
    std::vector<unsigned char> pins(kPinInfoSize, 0);
    library->Call("GetNumberOfInputsOutputs2", [&] { library->GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0); });
    std::printf("%s: delay flag %d, settings %s; opening its properties dialog\n", library->Path().c_str(),
                part.HasDelay(), SettingsHeld(part).c_str());
    std::fflush(stdout);
    part.OpenDialog(pins.data());
    std::printf("%s%s: delay flag %d, settings %s\n", run.shotNote.c_str(), Closed(run).c_str(), part.HasDelay(),
                SettingsHeld(part).c_str());
  }
  UnhookWindowsHookEx(run.hook);
  watch = nullptr;
  DestroyWindow(window);
  if (!run.shotError.empty()) throw Failure(run.shotError);
  if (!run.screenshot.empty() && run.shotNote.empty())
    throw Failure("no dialog appeared, so " + run.screenshot + " was not written");
  return 0;
}

}  // namespace

const Command kDialogCommand = {
    "dialog",
    {{"dialog DLL [--close-after SECONDS] [--screenshot FILE]", "a part's properties dialog (needs a display); ended\n"
                                                                "with Cancel after SECONDS, or once a PNG of it is\n"
                                                                "in FILE"}},
    "",
    Dialog};

}  // namespace host
