#include "library_state.h"

namespace frame {
namespace {
HMODULE module_;
HWND mainWindow_;
}  // namespace

void KeepModule(HMODULE module) { module_ = module; }
HMODULE Module() { return module_; }
void KeepMainWindow(HWND window) { mainWindow_ = window; }
HWND MainWindow() { return mainWindow_; }

}  // namespace frame
