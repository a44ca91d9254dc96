// The parts the build puts beside hostsim, for the commands that show or
// save every part without being told which.
#pragma once

#include <string>
#include <vector>

namespace host {

// The DLLs' names in FOLDER\parts.txt, one a line, in its order; a Failure
// when the folder holds no list or the list names no part.
std::vector<std::string> ListedParts(const std::string& folder);

}  // namespace host
