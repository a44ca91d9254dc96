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
#include "dialog_closer.h"
#include "dialog_window.h"
#include "host_file.h"
#include "host_window.h"
#include "options.h"
#include "part_instance.h"
#include "paths.h"
#include "png_writer.h"
#include "settings_text.h"
#include "shown_text.h"

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
const ExitOption& kCancelExit = kExitOptions[1];

// What the dialog's steps share with the lines printed after it.
struct DialogRun {
  double closeAfter = -1;  // seconds; below 0 the user closes it
  std::string screenshot;  // a PNG file to write, or none
  std::vector<SetRequest> requests;
  const ExitOption* exit = nullptr;  // none: Cancel after closeAfter, or the user
  std::string shotNote, shotError;
  std::string done;        // what the requests did, a line each
  std::string setError;    // a request the dialog cannot take
  std::string closedWith;  // " with OK", " (Cancel after 2 s)"; empty where the user closed it

  bool Automated() const { return exit || !requests.empty() || !screenshot.empty() || closeAfter >= 0; }
};

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

void WriteScreenshot(HWND dialog, DialogRun& run) {
  const RgbImage image = CaptureWindow(dialog);
  if (image.rgb.empty()) {
    run.shotError = "the dialog could not be copied from the screen, so " + run.screenshot + " was not written";
    return;
  }
  // Runs in the dialog's window procedure: the failure is kept for after
  // the dialog, not thrown through Windows.
  try {
    WriteWholeFile(run.screenshot, PngOf(image));
    run.shotNote = "wrote " + run.screenshot + ": the dialog, " + std::to_string(image.width) + " x " +
                   std::to_string(image.height) + " pixels\n";
  } catch (const Failure& failure) {
    run.shotError = failure.what();
  }
}

std::string CancelShown(const DialogRun& run) {
  if (!run.screenshot.empty() && run.closeAfter <= 0) return " (Cancel after the screenshot)";
  char after[64];
  std::snprintf(after, sizeof after, " (Cancel after %g s)", run.closeAfter);
  return after;
}

// Every request done in order; the first the dialog cannot take ends the
// dialog with Cancel before anything is done.
bool Act(HWND dialog, DialogRun& run) {
  const DialogWindow read = ReadDialog(dialog);
  std::vector<DialogAction> actions;
  try {
    for (const SetRequest& request : run.requests) actions.push_back(ActionFor(read.controls, request));
  } catch (const Failure& failure) {
    run.setError = failure.what();
    return false;
  }
  for (std::size_t k = 0; k < actions.size(); ++k) {
    Perform(dialog, read, actions[k]);
    const SetRequest& request = run.requests[k];
    run.done += "set " + Quoted(request.caption) + " to " + Quoted(request.value) + ": " +
                ActionDone(read.controls, actions[k]) + "\n";
  }
  return true;
}

void Close(HWND dialog, DialogRun& run, const ExitOption& exit, const std::string& shown) {
  run.closedWith = shown;
  Leave(dialog, exit.exit);
}

// The requests first, then the screenshot, then the wait and the way out;
// a run with none of them is the user's to close.
DialogPlan PlanOf(DialogRun& run) {
  if (!run.Automated()) return {};
  DialogPlan plan;
  plan.onShown = [&run](HWND dialog) {
    if (!Act(dialog, run)) {
      Close(dialog, run, kCancelExit, " (Cancel, as a --set could not be done)");
      return false;
    }
    if (!run.screenshot.empty()) WriteScreenshot(dialog, run);
    return true;
  };
  plan.waitSeconds = run.closeAfter;
  plan.afterWait = [&run](HWND dialog) {
    if (run.exit) return Close(dialog, run, *run.exit, std::string(" with ") + run.exit->shown);
    if (run.closeAfter >= 0 || !run.screenshot.empty()) Close(dialog, run, kCancelExit, CancelShown(run));
  };
  return plan;
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

void ReadOptions(const CommandLine& line, DialogRun& run) {
  if (line.Has("--close-after")) run.closeAfter = Seconds(line.Option("--close-after"));
  run.screenshot = line.Option("--screenshot");
  if (!run.screenshot.empty()) CheckWritable(run.screenshot);
  run.requests = SetRequests(line);
  run.exit = ExitChosen(line);
}

// What went wrong, once the dialog is gone and its lines are out.
void ReportAfter(const DialogRun& run, bool dialogShown, const std::string& dll) {
  if (!run.setError.empty()) throw Failure(run.setError);
  if (!run.shotError.empty()) throw Failure(run.shotError);
  if (run.Automated() && !dialogShown)
    throw PartFailure(dll + ": CallParameterDialogDLL returned without showing a dialog, so nothing was set" +
                      (run.screenshot.empty() ? std::string() : " and " + run.screenshot + " was not written"));
}

void ShowDialogOf(PartInstance& instance, unsigned char* pins, const DialogRun& run) {
  const std::string before = instance.SavedBlock();
  std::printf("%s: delay flag %d, settings %s; opening its properties dialog\nblock before: %s\n",
              instance.Library().Path().c_str(), instance.HasDelay(), SettingsOfBlock(before).c_str(),
              ShownBlock(before).c_str());
  std::fflush(stdout);
  instance.OpenDialog(pins);
  const std::string after = instance.SavedBlock();
  std::printf("%s%sdialog closed%s: delay flag %d, settings %s\nblock after: %s\n", run.done.c_str(),
              run.shotNote.c_str(), run.closedWith.c_str(), instance.HasDelay(), SettingsOfBlock(after).c_str(),
              ShownBlock(after).c_str());
}

int Dialog(Arguments arguments, FaultGuard& guard) {
  DialogRun run;
  const CommandLine line = ReadCommandLine(kDialogCommand, arguments);
  ReadOptions(line, run);
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(line.operands[0], guard);
  const HostWindow window("hostsim");
  if (!window.Handle()) throw Failure("the dialog needs a display, and no window can be created here");
  const DialogCloser closer(PlanOf(run));
  {
    PartInstance instance(*library, window.Handle());
    if (line.Has("--settings")) instance.LoadSettings(SettingsBlock(line.Option("--settings")));
    std::vector<unsigned char> pins(kPinInfoSize, 0);
    library->Call(HOST_LISTED(GetNumberOfInputsOutputs2),
                  [&] { library->GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0); });
    ShowDialogOf(instance, pins.data(), run);
  }
  ReportAfter(run, closer.SawDialog(), library->Path());
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
