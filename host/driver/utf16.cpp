#include "utf16.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace host {
namespace {

// The byte order of UTF-16 text, 0 when the bytes are none.
enum ByteOrder { kNotUtf16, kLittleEndian, kBigEndian };

ByteOrder Utf16Order(const std::string& bytes, bool& marked) {
  marked =
      bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  if (marked) return bytes[0] == '\xFF' ? kLittleEndian : kBigEndian;
  if (bytes.size() < 2 || bytes.size() % 2) return kNotUtf16;
  // Unmarked, it is told by its first characters being ASCII.
  auto ascii = [&](std::size_t zero, std::size_t other) {
    for (std::size_t at = 0; at < bytes.size() && at < 64; at += 2)
      if (bytes[at + zero] != 0 || bytes[at + other] == 0) return false;
    return true;
  };
  if (ascii(1, 0)) return kLittleEndian;
  if (ascii(0, 1)) return kBigEndian;
  return kNotUtf16;
}

}  // namespace

void AppendUtf8(std::string& out, unsigned codePoint) {
  if (codePoint < 0x80) {
    out += char(codePoint);
  } else if (codePoint < 0x800) {
    out += char(0xC0 | (codePoint >> 6));
    out += char(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += char(0xE0 | (codePoint >> 12));
    out += char(0x80 | ((codePoint >> 6) & 0x3F));
    out += char(0x80 | (codePoint & 0x3F));
  } else {
    out += char(0xF0 | (codePoint >> 18));
    out += char(0x80 | ((codePoint >> 12) & 0x3F));
    out += char(0x80 | ((codePoint >> 6) & 0x3F));
    out += char(0x80 | (codePoint & 0x3F));
  }
}

std::string Utf16Encoding(const std::string& bytes) {
  bool marked;
  const ByteOrder order = Utf16Order(bytes, marked);
  if (order == kNotUtf16) return {};
  return std::string("UTF-16 ") + (order == kLittleEndian ? "little-endian" : "big-endian") +
         (marked ? "" : " without byte-order mark");
}

std::string Utf8FromUtf16(const std::string& bytes, std::string& encoding) {
  bool marked;
  const ByteOrder order = Utf16Order(bytes, marked);
  encoding = Utf16Encoding(bytes);
  if (order == kNotUtf16) return bytes;
  auto unit = [&](std::size_t at) -> unsigned {
    const unsigned char a = static_cast<unsigned char>(bytes[at]), b = static_cast<unsigned char>(bytes[at + 1]);
    return order == kLittleEndian ? a | b << 8 : a << 8 | b;
  };
  std::string out;
  for (std::size_t at = marked ? 2 : 0; at < bytes.size(); at += 2) {
    if (at + 1 == bytes.size()) {
      out += bytes[at];
      break;
    }
    unsigned codePoint = unit(at);
    const bool high = codePoint >= 0xD800 && codePoint < 0xDC00;
    if (high && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 && unit(at + 2) < 0xE000) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
      at += 2;
    }
    AppendUtf8(out, codePoint);
  }
  return out;
}

std::string UserFileText(const std::string& bytes, std::string& encoding) {
  const std::string text = Utf8FromUtf16(bytes, encoding);
  return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
}

#ifdef _WIN32
std::wstring WideFromUtf8(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(std::size_t(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], length);
  return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(std::size_t(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0], length, nullptr, nullptr);
  return utf8;
}
#endif

}  // namespace host
