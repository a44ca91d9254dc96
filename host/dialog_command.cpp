// `dialog`: a part's properties dialog, opened as the host opens it, with
// the host's main window as its owner.
#include <windows.h>

#include <cstdio>

#include "cli.h"
#include "commands.h"
#include "project.h"

namespace host {
namespace {

HWND CreateHostWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "HostsimMainWindow";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "hostsim", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
}

}  // namespace

int DialogCommand(Arguments arguments) {
  if (arguments.size() != 1) throw Failure("usage: hostsim dialog DLL");
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(arguments[0]);
  const HWND window = CreateHostWindow();
  if (!window) throw Failure("the dialog needs a display, and no window can be created here");
  {
    PlacedPart part(*library, window);
    std::vector<unsigned char> pins(kPinInfoSize, 0);
    library->GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0);
    std::printf("%s: delay flag %d, settings %s; opening its properties dialog\n", FileName(arguments[0]).c_str(),
                library->HasDelayDLL(part.Record()), SettingsOfBlock(part.SavedBlock()).c_str());
    std::fflush(stdout);
    library->CallParameterDialogDLL(part.Record(), pins.data());
    std::printf("dialog closed: delay flag %d, settings %s\n", library->HasDelayDLL(part.Record()),
                SettingsOfBlock(part.SavedBlock()).c_str());
  }
  DestroyWindow(window);
  return 0;
}

}  // namespace host
