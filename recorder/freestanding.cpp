// What the compiler may call on its own in code built without a C runtime:
// struct copies and clears. Built with -fno-tree-loop-distribute-patterns,
// so that these loops do not become calls of themselves.
#include <cstddef>

extern "C" void* memcpy(void* to, const void* from, std::size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  const auto* f = static_cast<const unsigned char*>(from);
  while (count--) *t++ = *f++;
  return to;
}

extern "C" void* memset(void* to, int value, std::size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  while (count--) *t++ = static_cast<unsigned char>(value);
  return to;
}
