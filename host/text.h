// The plug-ins' texts are Windows-1252; the terminal wants UTF-8.
#pragma once

#include <string>

namespace host {

std::string Utf8FromWindows1252(const std::string& text);

}  // namespace host
