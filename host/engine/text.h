// Texts for the terminal, which wants UTF-8: the plug-ins' and the
// projects' are Windows-1252, a user's files may be anything. Every text
// from outside is shown through one of the Shown... functions, and quoted
// in a message through Quoted.
#pragma once

#include <string>
#include <vector>

namespace host {

// "UTF-16 little-endian" for text that is UTF-16 by its byte-order mark,
// or by the zero bytes of ASCII in UTF-16 without one ("UTF-16 big-endian
// without byte-order mark"); empty for other bytes.
std::string Utf16Encoding(const std::string& bytes);

// UTF-16 text (as Utf16Encoding tells it) as UTF-8; `encoding` says which
// it was. Other bytes come back as they are, with an empty `encoding`. A
// half of a surrogate pair alone keeps its code point, which ShownUserText
// shows as \uNNNN, and an odd last byte stays a byte.
std::string Utf8FromUtf16(const std::string& bytes, std::string& encoding);

// A user's text file (stimulus, test vectors) as UTF-8 or 8-bit text:
// UTF-16 converted as Utf8FromUtf16 converts it, `encoding` saying so, and
// without a UTF-8 byte-order mark.
std::string UserFileText(const std::string& bytes, std::string& encoding);

// Every text from outside is shown one character at a time in one way: a
// character as it is; a control byte, or a byte that is no character of
// the text's encoding, as \xNN; a character that shows as nothing or as a
// blank (byte-order mark, no-break space) as \uNNNN.
enum class TextEncoding {
  kUtf8,         // a user's file or argument: UTF-8, or any bytes
  kWindows1252,  // a plug-in's text, a line of a project
};

// A plug-in's text or a line of a project for the terminal.
std::string ShownWindows1252(const std::string& windows1252);
// A plug-in's text of several lines, such as a settings block, on one:
// its line ends, quotes and backslashes as a C string spells them
// (\r, \n, \", \\), the rest as ShownWindows1252 shows it.
std::string ShownWithLineEnds(const std::string& windows1252);
// A text a plug-in points to; a null pointer as "(null)".
std::string ShownPluginText(const char* windows1252);
std::vector<std::string> ShownPluginTexts(const std::vector<std::string>& windows1252);
// Text from a user's file for the terminal.
std::string ShownUserText(const std::string& text);

// Columns of a text's shown form beyond which a message cuts it.
constexpr std::size_t kQuotedColumns = 60;

// What the user gave (a value, a line of a file), in quotes for a message.
// Cut behind kQuotedColumns columns, at the end of a character, it shows
// that it was cut and how long it is: "1234567…" (5000 bytes).
std::string Quoted(const std::string& text, TextEncoding encoding = TextEncoding::kUtf8);

// "1 part", "0 parts", "3 parts": a count with its noun.
std::string Counted(std::size_t count, const std::string& noun);

// Columns of a terminal that a UTF-8 text takes (one per character).
std::size_t DisplayWidth(const std::string& utf8);

// `text` filled with blanks to `width` columns, on the left or the right.
std::string PadLeft(const std::string& text, std::size_t width);
std::string PadRight(const std::string& text, std::size_t width);

}  // namespace host
