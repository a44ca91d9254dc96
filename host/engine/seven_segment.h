// Digits drawn in a terminal from the levels of seven segment outputs, in
// the decoder's pin order: top, upper left, upper right, middle, lower
// left, lower right, bottom.
#pragma once

#include <string>
#include <vector>

namespace host {

using Segments = std::vector<bool>;  // seven levels in pin order

// Three lines; the digits side by side, `gap` blanks apart.
std::vector<std::string> DrawDigits(const std::vector<Segments>& digits, int gap);

}  // namespace host
