// Texts for the terminal: the plug-ins' are Windows-1252, the terminal
// wants UTF-8.
#pragma once

#include <string>

namespace host {

std::string Utf8FromWindows1252(const std::string& text);

// Text that is UTF-16 by its byte-order mark, or by the zero bytes of
// ASCII in UTF-16 without one, as UTF-8; `encoding` says which it was
// ("UTF-16 little-endian"). Other bytes come back as they are, with an
// empty `encoding`.
std::string Utf8FromUtf16(const std::string& bytes, std::string& encoding);

// Text from a user's file fit for a message: UTF-8 as it is, but control
// bytes and bytes that are no UTF-8 as \xNN, and characters that show as
// nothing or as a blank (byte-order mark, no-break space) as \uNNNN.
std::string Displayable(const std::string& text);

// "1 part", "0 parts", "3 parts": a count with its noun.
std::string Counted(std::size_t count, const std::string& noun);

}  // namespace host
