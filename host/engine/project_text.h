// What `project` prints of a project file, which the demo shows too.
#pragma once

#include <string>
#include <vector>

#include "fault_guard.h"

namespace host {

// Where the parts' DLLs were loaded from: their one folder, or each
// part's file.
std::string LoadedFrom(const std::vector<std::string>& files);

// The project loaded, its parts' calls under `guard`: a table of its parts
// and what each made of its block.
std::string LoadedProjectText(const std::string& path, const std::string& pluginFolder, FaultGuard& guard);

// The file's lines, numbered; throws a Failure for a damaged file.
std::string ProjectFileText(const std::string& path);

}  // namespace host
