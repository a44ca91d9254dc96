// Texts for the terminal, which wants UTF-8: the plug-ins' and the
// projects' are Windows-1252, a user's files may be anything. Every text
// from outside is shown through one of the Shown... functions.
#pragma once

#include <string>
#include <vector>

namespace host {

std::string Utf8FromWindows1252(const std::string& text);

// Text that is UTF-16 by its byte-order mark, or by the zero bytes of
// ASCII in UTF-16 without one, as UTF-8; `encoding` says which it was
// ("UTF-16 little-endian"). Other bytes come back as they are, with an
// empty `encoding`.
std::string Utf8FromUtf16(const std::string& bytes, std::string& encoding);

// Windows-1252 text (a plug-in's, a line of a project) as UTF-8, with
// bytes below 0x20 and DEL as \xNN.
std::string ShownWindows1252(const std::string& windows1252);
// A text a plug-in points to; a null pointer as "(null)".
std::string ShownPluginText(const char* windows1252);
std::vector<std::string> ShownPluginTexts(const std::vector<std::string>& windows1252);

// Text from a user's file fit for a message: UTF-8 as it is, but control
// bytes and bytes that are no UTF-8 as \xNN, and characters that show as
// nothing or as a blank (byte-order mark, no-break space) as \uNNNN.
std::string ShownUserText(const std::string& text);

// "1 part", "0 parts", "3 parts": a count with its noun.
std::string Counted(std::size_t count, const std::string& noun);

// Columns of a terminal that a UTF-8 text takes (one per character).
std::size_t DisplayWidth(const std::string& utf8);

// `text` filled with blanks to `width` columns, on the left or the right.
std::string PadLeft(const std::string& text, std::size_t width);
std::string PadRight(const std::string& text, std::size_t width);

}  // namespace host
