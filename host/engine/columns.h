// The columns of a terminal that hostsim's tables and messages line up on.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// Columns of a terminal that a UTF-8 text takes (one per character).
std::size_t DisplayWidth(const std::string& utf8);

// `text` filled with blanks to `width` columns, on the left or the right.
std::string PadLeft(const std::string& text, std::size_t width);
std::string PadRight(const std::string& text, std::size_t width);

}  // namespace host
