// What one plug-in library keeps for all its instances: its own module
// handle (for its resources and its file name) and the host window that
// owns its dialogs.
#pragma once

#include <windows.h>

namespace frame {

void KeepModule(HMODULE module);
HMODULE Module();

// The most recently placed instance's host window wins.
void KeepMainWindow(HWND window);
HWND MainWindow();

}  // namespace frame
