// Copies and comparisons a 32-bit word at a time: the recorder moves each
// record's text and each region's bytes several times, and code built
// without a C runtime has no library routines for it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace recorder {

inline void CopyWords(void* to, const void* from, std::size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  const auto* f = static_cast<const unsigned char*>(from);
  for (; count >= 4; count -= 4, t += 4, f += 4) __builtin_memcpy(t, f, 4);
  while (count--) *t++ = *f++;
}

inline bool SameWords(const void* a, const void* b, std::size_t count) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (; count >= 4; count -= 4, x += 4, y += 4) {
    std::uint32_t u, v;
    __builtin_memcpy(&u, x, 4);
    __builtin_memcpy(&v, y, 4);
    if (u != v) return false;
  }
  while (count--)
    if (*x++ != *y++) return false;
  return true;
}

}  // namespace recorder
