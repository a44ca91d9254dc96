// Texts for the terminal: the plug-ins' are Windows-1252, the terminal
// wants UTF-8.
#pragma once

#include <string>

namespace host {

std::string Utf8FromWindows1252(const std::string& text);

// "1 part", "0 parts", "3 parts": a count with its noun.
std::string Counted(std::size_t count, const std::string& noun);

}  // namespace host
