// The help behind the dialog's "Hilfe" button: the library's one help
// launcher, bound to Windows, and the help file beside the library.
#pragma once

#include <windows.h>

#include <string>

namespace frame {

// HtmlHelpA of the HTML Help control, bound at the first call; 0 when the
// control cannot be bound. The binding is shared by all dialogs of the
// library and kept until the library is unloaded.
std::uintptr_t CallHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data);

// "\korvelant.chm" in the folder this library was loaded from. When the
// library's file name cannot be read whole, a path that does not open.
std::string BuildHelpFilePath();

}  // namespace frame
