// The names a loaded DLL exports, read from its export directory: what the
// host's lookups by name can find, decorated names included.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host {

std::vector<std::string> ExportedNames(HMODULE module);

// "_SimulateDLL3@36" and "SimulateDLL3@36" are SimulateDLL3 decorated by a
// compiler for the standard calling convention; gives the plain name, or
// an empty string for a name without decoration.
std::string UndecoratedName(const std::string& exported);

}  // namespace host
