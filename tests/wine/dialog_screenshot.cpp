// Holds a plug-in's properties dialog open for a screenshot: opens it as the
// host does, prints the dialog's place on the screen as "x y width height",
// waits for a line on its input, then cancels the dialog.
// Usage: dialog_screenshot PLUGIN.dll   (tools/screenshot-dialogs runs it)
#include <windows.h>

#include <cstdio>
#include <vector>

#include "dialog_driver.h"
#include "plugin_library.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dialog_screenshot PLUGIN.dll\n");
    return 2;
  }
  host::PluginLibrary library;
  const std::string error = library.Load(argv[1]);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  host::PlacedPart part(library);
  std::vector<unsigned char> pins(host::kPinInfoSize);
  const test::DialogRun run = test::RunDialog(
      nullptr, [&] { library.CallParameterDialogDLL(part.Record(), pins.data()); },
      [](HWND dialog) {
        // Visible is not yet painted: have every control drawn, and give
        // the display a moment to show it.
        SetForegroundWindow(dialog);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);
        RECT r;
        GetWindowRect(dialog, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fflush(stdout);
        char line[16];
        std::fgets(line, sizeof line, stdin);
        test::Click(dialog, test::kCancel);
      });
  if (!run.appeared) std::fprintf(stderr, "the dialog did not appear\n");
  return run.appeared && run.closed ? 0 : 1;
}
