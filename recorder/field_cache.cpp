#include "field_cache.h"

#include "words.h"

namespace recorder {
namespace {

// Fifty signals of ten bytes and a little more; their text is at most
// two characters a byte, and the field's key.
constexpr std::size_t kKeptBytes = 512;
constexpr std::size_t kKeptText = 2 * kKeptBytes + 64;
constexpr std::uint32_t kKeptBits = 7;

struct KeptField {
  std::uint32_t key;  // 0: nothing kept
  std::uint32_t count;
  std::uint32_t length;
  unsigned char bytes[kKeptBytes];
  char text[kKeptText];
};
// Zero, so no constructor runs; used under the recorder's lock.
KeptField kept[1u << kKeptBits];

KeptField& PlaceOf(std::uint32_t key) { return kept[(key * 2654435761u) >> (32 - kKeptBits)]; }

}  // namespace

// More than a record has: two regions a slot and the slots' and the
// floating-point state's own.
constexpr std::uint32_t kFieldsPerRecord = 32;

std::uint32_t FieldKey(std::uint32_t entryPoint, bool exit, std::uint32_t field) {
  return 1 + (entryPoint * 2 + (exit ? 1 : 0)) * kFieldsPerRecord + field;
}

bool ReuseField(Line& line, std::uint32_t key, const void* bytes, std::size_t count) {
  const KeptField& field = PlaceOf(key);
  if (field.key != key || field.count != count || !SameWords(field.bytes, bytes, count)) return false;
  line.Append(field.text, field.length);
  return true;
}

void KeepField(std::uint32_t key, const void* bytes, std::size_t count, const char* text, std::size_t length) {
  if (count > kKeptBytes || length > kKeptText) return;
  KeptField& field = PlaceOf(key);
  field.key = key;
  field.count = std::uint32_t(count);
  field.length = std::uint32_t(length);
  CopyWords(field.bytes, bytes, count);
  CopyWords(field.text, text, length);
}

}  // namespace recorder
