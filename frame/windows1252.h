// German text as a part's author writes it (ordinary UTF-8 in the source)
// turned into what the host reads (Windows-1252), when the part is compiled.
//
//   static constexpr frame::Text kDisplayName{"Zähler"};
//   static constexpr frame::Names kInputNames{"Takt", "Freigabe", "Rücksetzen"};
//
// A character that Windows-1252 cannot hold stops the build: the compiler
// names the text and reports a call to NoWindows1252Form. tools/check-text,
// which the build runs first, names the character itself.
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>

namespace frame {
namespace text {

// Never defined: the conversion reaches it only for a character the host
// cannot show, which makes the constant expression, and so the build, fail.
void NoWindows1252Form(char32_t character);
// The same for bytes that are no UTF-8.
void NotUtf8(std::size_t at);

// Windows-1252's bytes 0x80 to 0x9F, by the characters they stand for; 0
// where the code page leaves the byte unassigned. Every other byte is the
// character of the same number.
inline constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte for `character`, or -1 when Windows-1252 has none.
constexpr int Windows1252Byte(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<int>(character);
  for (int k = 0; k < 32; ++k)
    if (character == kHighControls[k] && kHighControls[k] != 0) return 0x80 + k;
  return -1;
}

// The character whose UTF-8 form starts at utf8[at]; `length` gets the
// number of its bytes, 0 when they are no UTF-8.
constexpr char32_t DecodeUtf8(const char* utf8, std::size_t size, std::size_t at, std::size_t& length) {
  const unsigned char lead = static_cast<unsigned char>(utf8[at]);
  length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0 || at + length > size) return length = 0, 0;
  char32_t character = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(utf8[at + k]);
    if ((next & 0xC0) != 0x80) return length = 0, 0;
    character = character << 6 | (next & 0x3F);
  }
  return character;
}

// Converts the NUL-terminated `utf8` of `size` bytes into `out`, which has
// room for as many; gives the number of bytes written, NUL included.
constexpr std::size_t ToWindows1252(const char* utf8, std::size_t size, char* out) {
  std::size_t written = 0;
  for (std::size_t at = 0; at < size && utf8[at] != '\0';) {
    std::size_t length = 0;
    const char32_t character = DecodeUtf8(utf8, size, at, length);
    if (length == 0) NotUtf8(at);
    const int byte = Windows1252Byte(character);
    if (byte < 0) NoWindows1252Form(character);
    out[written++] = static_cast<char>(byte);
    at += length;
  }
  out[written++] = '\0';
  return written;
}

}  // namespace text

// One text, held in Windows-1252; N is the size of the UTF-8 literal, room
// enough, since no character takes more bytes here than there.
template <std::size_t N>
class Text {
 public:
  constexpr Text(const char (&utf8)[N]) : size_(text::ToWindows1252(utf8, N, bytes_)) {}
  constexpr const char* c_str() const { return bytes_; }
  constexpr operator const char*() const { return bytes_; }
  // Bytes before the NUL.
  constexpr std::size_t size() const { return size_ - 1; }

 private:
  char bytes_[N] = {};
  std::size_t size_;
};

// The names of a part's pins, each held in Windows-1252 in a row of its own.
template <std::size_t Count, std::size_t Room>
class Names {
 public:
  template <std::size_t... N>
  constexpr Names(const char (&... utf8)[N]) {
    std::size_t row = 0;
    (text::ToWindows1252(utf8, N, rows_[row++]), ...);
  }
  constexpr const char* operator[](std::size_t pin) const { return rows_[pin]; }
  static constexpr std::size_t size() { return Count; }

 private:
  char rows_[Count][Room] = {};
};

template <std::size_t... N>
Names(const char (&... utf8)[N]) -> Names<sizeof...(N), std::max({N...})>;

}  // namespace frame
