// Texts for the terminal, which wants UTF-8: the plug-ins' and the
// projects' are Windows-1252, a user's files may be anything. Every text
// from outside is shown through one of the Shown... functions, and quoted
// in a message through Quoted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace host {

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

}  // namespace host
