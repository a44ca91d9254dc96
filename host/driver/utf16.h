// UTF-16 as hostsim meets it: a user's file that may be UTF-16 (read on
// any platform), and the wide strings the system's file functions take
// (on Windows only).
#pragma once

#include <string>

namespace host {

// `codePoint` appended to `out` as UTF-8.
void AppendUtf8(std::string& out, unsigned codePoint);

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

// UTF-8 as the system's wide functions take it, and back.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

}  // namespace host
