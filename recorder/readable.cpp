#include "readable.h"

#include <windows.h>

#include <cstdint>

#include "words.h"

namespace recorder {
namespace {

bool MayRead(const MEMORY_BASIC_INFORMATION& region) {
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return region.State == MEM_COMMIT && (region.Protect & kReadable) && !(region.Protect & PAGE_GUARD);
}

// Spans of readable pages found before: the host passes the same buffers
// at every call, and looking them up again would cost a call of the
// system per region and call. A span stays readable while the host keeps
// passing its buffers, which live as long as the parts' calls use them.
struct Span {
  std::uintptr_t begin, end;
};
constexpr int kKnownSpans = 8;
Span known[kKnownSpans];  // zero, so no constructor runs; used under the recorder's lock
int nextKnown;

bool IsKnown(std::uintptr_t begin, std::uintptr_t end) {
  for (const Span& span : known)
    if (begin >= span.begin && end <= span.end) return true;
  return false;
}

void Remember(std::uintptr_t begin, std::uintptr_t end) {
  known[nextKnown] = {begin, end};
  nextKnown = (nextKnown + 1) % kKnownSpans;
}

// How many bytes from `at` on, at most `count`, lie in readable pages.
std::size_t ReadableLength(const void* at, std::size_t count) {
  const auto start = reinterpret_cast<std::uintptr_t>(at);
  if (start + count > start && IsKnown(start, start + count)) return count;
  std::uintptr_t spanBegin = start;
  std::size_t length = 0;
  while (length < count) {
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(reinterpret_cast<const void*>(start + length), &region, sizeof region) != sizeof region ||
        !MayRead(region))
      break;
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    if (end <= start + length) break;
    if (!length) spanBegin = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
    length = end - start;
  }
  if (length) Remember(spanBegin, start + length);
  return length < count ? length : count;
}

}  // namespace

std::size_t CopyReadable(const void* at, std::size_t count, unsigned char* into) {
  if (!at) return 0;
  const std::size_t length = ReadableLength(at, count);
  CopyWords(into, at, length);
  return length;
}

std::size_t CopyReadableText(const void* at, std::size_t limit, char* into) {
  unsigned char bytes[1024];
  if (limit > sizeof bytes) limit = sizeof bytes;
  const std::size_t length = CopyReadable(at, limit, bytes);
  std::size_t k = 0;
  for (; k < length && bytes[k]; ++k) into[k] = char(bytes[k]);
  return k;
}

}  // namespace recorder
