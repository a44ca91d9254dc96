#include "shown_text.h"

#include <cstdio>

#include "columns.h"
#include "utf16.h"

namespace host {
namespace {

// Code points of bytes 0x80..0x9F; 0 marks the five bytes without one.
const unsigned short kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Length of the UTF-8 sequence at `at` and its code point; 0 for a byte
// that starts none. Halves of surrogate pairs pass, as Utf8FromUtf16 keeps
// a lone one.
std::size_t Utf8Sequence(const std::string& text, std::size_t at, unsigned& codePoint) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  std::size_t length = lead < 0x80                    ? 1
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
  if (length == 0 || at + length > text.size()) return 0;
  codePoint = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    codePoint = codePoint << 6 | (next & 0x3F);
  }
  const unsigned shortest[] = {0, 0, 0x80, 0x800, 0x10000};
  return codePoint < shortest[length] || codePoint > 0x10FFFF ? 0 : length;
}

// Characters a terminal shows as nothing or as a blank, and halves of
// surrogate pairs, which are none.
bool IsInvisible(unsigned codePoint) {
  return (codePoint >= 0x80 && codePoint < 0xA1) || codePoint == 0xAD || (codePoint >= 0x200B && codePoint <= 0x200F) ||
         codePoint == 0x2028 || codePoint == 0x2029 || codePoint == 0x2060 ||
         (codePoint >= 0xD800 && codePoint < 0xE000) || codePoint == 0xFEFF;
}

std::string Escaped(const char* format, unsigned value) {
  char escape[12];
  std::snprintf(escape, sizeof escape, format, value);
  return escape;
}

std::string ByteEscaped(unsigned char byte) { return Escaped("\\x%02X", byte); }

std::string CharacterShown(unsigned codePoint) {
  if (codePoint < 0x20 || codePoint == 0x7F) return ByteEscaped(static_cast<unsigned char>(codePoint));
  if (IsInvisible(codePoint)) return Escaped("\\u%04X", codePoint);
  std::string utf8;
  AppendUtf8(utf8, codePoint);
  return utf8;
}

// The first character of text[at...], or its first byte where that starts
// none, as shown.
struct ShownPiece {
  std::size_t length;  // bytes of the text it stands for
  std::string shown;
};

ShownPiece NextUtf8(const std::string& text, std::size_t at) {
  unsigned codePoint = 0;
  const std::size_t length = Utf8Sequence(text, at, codePoint);
  if (length == 0) return {1, ByteEscaped(static_cast<unsigned char>(text[at]))};
  return {length, CharacterShown(codePoint)};
}

ShownPiece NextWindows1252(const std::string& text, std::size_t at) {
  const unsigned char byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80 || byte >= 0xA0) return {1, CharacterShown(byte)};
  const unsigned codePoint = kHighControls[byte - 0x80];
  return {1, codePoint ? CharacterShown(codePoint) : ByteEscaped(byte)};
}

ShownPiece NextPiece(const std::string& text, std::size_t at, TextEncoding encoding) {
  return encoding == TextEncoding::kWindows1252 ? NextWindows1252(text, at) : NextUtf8(text, at);
}

std::string Shown(const std::string& text, TextEncoding encoding) {
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    const ShownPiece piece = NextPiece(text, at, encoding);
    shown += piece.shown;
    at += piece.length;
  }
  return shown;
}

}  // namespace

std::string ShownUserText(const std::string& text) { return Shown(text, TextEncoding::kUtf8); }

std::string ShownWindows1252(const std::string& windows1252) { return Shown(windows1252, TextEncoding::kWindows1252); }

std::string ShownWithLineEnds(const std::string& windows1252) {
  std::string shown, run;
  for (const char c : windows1252) {
    const char* escape = c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '"' ? "\\\"" : c == '\\' ? "\\\\" : nullptr;
    if (!escape) {
      run += c;
      continue;
    }
    shown += ShownWindows1252(run) + escape;
    run.clear();
  }
  return shown + ShownWindows1252(run);
}

std::string ShownPluginText(const char* windows1252) { return windows1252 ? ShownWindows1252(windows1252) : "(null)"; }

std::vector<std::string> ShownPluginTexts(const std::vector<std::string>& windows1252) {
  std::vector<std::string> shown;
  for (const std::string& text : windows1252) shown.push_back(ShownWindows1252(text));
  return shown;
}

std::string Quoted(const std::string& text, TextEncoding encoding) {
  std::string shown;
  std::size_t columns = 0;
  for (std::size_t at = 0; at < text.size();) {
    const ShownPiece piece = NextPiece(text, at, encoding);
    columns += DisplayWidth(piece.shown);
    if (columns > kQuotedColumns) return "\"" + shown + "…\" (" + std::to_string(text.size()) + " bytes)";
    shown += piece.shown;
    at += piece.length;
  }
  return "\"" + shown + "\"";
}

}  // namespace host
