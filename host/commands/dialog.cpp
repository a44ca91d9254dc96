// `dialog`: a part's properties dialog, opened as the host opens it, with
// the host's main window as its owner. hostsim sets what --set asks, as a
// user would, and closes it the way asked; or the user closes it, or
// hostsim does with Cancel: after a time, or once it has taken a
// screenshot.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "dialog_window.h"
#include "host_file.h"
#include "options.h"
#include "paths.h"
#include "placed_part.h"
#include "png_writer.h"
#include "settings_text.h"
#include "text.h"

namespace host {
namespace {

// The ways out the command line names, and how the output tells them.
struct ExitOption {
  const char* option;
  DialogExit exit;
  const char* shown;
};
constexpr ExitOption kExitOptions[] = {{"--ok", DialogExit::kOk, "OK"},
                                       {"--cancel", DialogExit::kCancel, "Cancel"},
                                       {"--esc", DialogExit::kEscape, "Esc"},
                                       {"--close", DialogExit::kCloseBox, "the close box"}};

// What the dialog's thread hook and timers share: one dialog per run.
struct DialogWatch {
  double closeAfter = -1;  // seconds; below 0 the user closes it
  std::string screenshot;  // a PNG file to write, or none
  std::vector<SetRequest> requests;
  const ExitOption* exit = nullptr;  // none: Cancel after closeAfter, or the user
  HWND dialog = nullptr;
  HHOOK hook = nullptr;
  std::string shotNote, shotError;
  std::string done;      // what the requests did, a line each
  std::string setError;  // a request the dialog cannot take
  bool acted = false, waited = false;
  std::string closedWith;  // " with OK", " (Cancel after 2 s)"; empty where the user closed it

  bool Automated() const { return exit || !requests.empty() || !screenshot.empty() || closeAfter >= 0; }
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

UINT Milliseconds(double seconds) { return UINT(std::lround(seconds * 1000)); }

std::string CancelShown(const DialogWatch& run) {
  if (!run.screenshot.empty() && run.closeAfter <= 0) return " (Cancel after the screenshot)";
  char after[64];
  std::snprintf(after, sizeof after, " (Cancel after %g s)", run.closeAfter);
  return after;
}

// Every request done in order; the first the dialog cannot take ends the
// dialog with Cancel before anything is done.
bool Act(HWND dialog) {
  const DialogWindow read = ReadDialog(dialog);
  std::vector<DialogAction> actions;
  try {
    for (const SetRequest& request : watch->requests) actions.push_back(ActionFor(read.controls, request));
  } catch (const Failure& failure) {
    watch->setError = failure.what();
    return false;
  }
  for (std::size_t k = 0; k < actions.size(); ++k) {
    Perform(dialog, read, actions[k]);
    const SetRequest& request = watch->requests[k];
    watch->done += "set " + Quoted(request.caption) + " to " + Quoted(request.value) + ": " +
                   ActionDone(read.controls, actions[k]) + "\n";
  }
  return true;
}

void Close(HWND dialog, const ExitOption& exit, const std::string& shown) {
  watch->closedWith = shown;
  Leave(dialog, exit.exit);
}

// A timer's message comes only once the dialog's queue holds nothing
// else, painting included: the dialog is on the screen as it looks. The
// requests first, then the screenshot, then the wait and the way out.
void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!IsWindow(watch->dialog)) return;
  static const ExitOption& cancel = kExitOptions[1];
  if (!watch->acted) {
    watch->acted = true;
    if (!Act(watch->dialog)) return Close(watch->dialog, cancel, " (Cancel, as a --set could not be done)");
  }
  if (!watch->screenshot.empty() && watch->shotNote.empty() && watch->shotError.empty()) WriteScreenshot(watch->dialog);
  if (watch->closeAfter > 0 && !watch->waited) {
    watch->waited = true;
    SetTimer(nullptr, 0, Milliseconds(watch->closeAfter), OnTimer);
    return;
  }
  if (watch->exit) return Close(watch->dialog, *watch->exit, std::string(" with ") + watch->exit->shown);
  if (watch->closeAfter >= 0 || !watch->screenshot.empty()) Close(watch->dialog, cancel, CancelShown(*watch));
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
      if (watch->Automated()) SetTimer(nullptr, 0, USER_TIMER_MINIMUM, OnTimer);
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

// The one way out the command line names, or none.
const ExitOption* ExitChosen(const CommandLine& line) {
  const ExitOption* chosen = nullptr;
  for (const ExitOption& exit : kExitOptions) {
    if (!line.Has(exit.option)) continue;
    if (chosen) throw Failure(std::string(chosen->option) + " and " + exit.option + " both close the dialog; give one");
    chosen = &exit;
  }
  return chosen;
}

std::vector<SetRequest> SetRequests(const CommandLine& line) {
  std::vector<SetRequest> requests;
  for (const std::string& text : line.Values("--set")) requests.push_back(ReadSetRequest(text));
  return requests;
}

void ReadOptions(const CommandLine& line, DialogWatch& run) {
  if (line.Has("--close-after")) run.closeAfter = Seconds(line.Option("--close-after"));
  run.screenshot = line.Option("--screenshot");
  if (!run.screenshot.empty()) CheckWritable(run.screenshot);
  run.requests = SetRequests(line);
  run.exit = ExitChosen(line);
}

// What went wrong, once the dialog is gone and its lines are out.
void ReportAfter(const DialogWatch& run, const std::string& dll) {
  if (!run.setError.empty()) throw Failure(run.setError);
  if (!run.shotError.empty()) throw Failure(run.shotError);
  if (run.Automated() && !run.dialog)
    throw PartFailure(dll + ": CallParameterDialogDLL returned without showing a dialog, so nothing was set" +
                      (run.screenshot.empty() ? std::string() : " and " + run.screenshot + " was not written"));
}

void ShowDialogOf(PlacedPart& part, unsigned char* pins, const DialogWatch& run) {
  const std::string before = part.SavedBlock();
  std::printf("%s: delay flag %d, settings %s; opening its properties dialog\nblock before: %s\n",
              part.Library().Path().c_str(), part.HasDelay(), SettingsOfBlock(before).c_str(),
              ShownBlock(before).c_str());
  std::fflush(stdout);
  part.OpenDialog(pins);
  const std::string after = part.SavedBlock();
  std::printf("%s%sdialog closed%s: delay flag %d, settings %s\nblock after: %s\n", run.done.c_str(),
              run.shotNote.c_str(), run.closedWith.c_str(), part.HasDelay(), SettingsOfBlock(after).c_str(),
              ShownBlock(after).c_str());
}

int Dialog(Arguments arguments, FaultGuard& guard) {
  DialogWatch run;
  const CommandLine line = ReadCommandLine(kDialogCommand, arguments);
  ReadOptions(line, run);
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(line.operands[0], guard);
  UseDesktopOfThisDisplay();
  const HWND window = CreateHostWindow();
  if (!window) throw Failure("the dialog needs a display, and no window can be created here");
  watch = &run;
  run.hook = SetWindowsHookExA(WH_CALLWNDPROCRET, OnWindowMessage, nullptr, GetCurrentThreadId());
  {
    PlacedPart part(*library, window);
    if (line.Has("--settings")) part.LoadSettings(SettingsBlock(line.Option("--settings")));
    std::vector<unsigned char> pins(kPinInfoSize, 0);
    library->Call("GetNumberOfInputsOutputs2", [&] { library->GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0); });
    ShowDialogOf(part, pins.data(), run);
  }
  UnhookWindowsHookEx(run.hook);
  watch = nullptr;
  DestroyWindow(window);
  ReportAfter(run, library->Path());
  return 0;
}

}  // namespace

const Command kDialogCommand = {
    "dialog",
    {{"dialog DLL [--settings V,V...] [--set CAPTION=VALUE]... [--ok] [--cancel] [--esc] [--close] "
      "[--close-after SECONDS] [--screenshot FILE]",
      "a part's properties dialog (needs a display), with\n"
      "the settings given: each --set ticks a check box\n"
      "(=1 or =0), picks a list's item or chooses a radio\n"
      "button, found by the caption the user reads; then\n"
      "OK, Cancel, Esc or the close box ends it, or Cancel\n"
      "after SECONDS or once a PNG of it is in FILE. It\n"
      "prints the settings and blocks before and after"}},
    "",
    Dialog};

}  // namespace host
